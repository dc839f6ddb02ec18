#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where the panel opens: centred under its anchor in the upper half of its screen, over it in the
// lower half; always inside the screen.
namespace PanelPlacement {

// What the panel hangs from. A click trusts the icon's geometry only when it holds the pointer: a tray
// may first report the icon in its own coordinates, and the pointer is on the icon it clicked. With no
// click (a keyboard), the icon's geometry when the tray tells one. Otherwise the pointer.
QRect anchor(const QRect& icon, const QPoint& pointer, bool clicked);

QPoint topLeft(const QRect& anchor, const QSize& panel, const QRect& screen);

}  // namespace PanelPlacement
