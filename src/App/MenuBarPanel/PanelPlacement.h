#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where the panel opens: centred under a tray icon in the upper half of its screen, over one in the
// lower half, at the pointer when the tray tells no icon geometry; always inside the screen.
namespace PanelPlacement {

QPoint topLeft(const QRect& icon, const QPoint& pointer, const QSize& panel, const QRect& screen);

}  // namespace PanelPlacement
