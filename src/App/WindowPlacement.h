#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

class QWidget;

// Keeps a window of the application on its screen: inside the screen's available area (without the
// panels the desktop keeps aside), its frame included, at most as large as that area allows.
namespace WindowPlacement {

// The window's own geometry, without its frame: `wanted` made small enough for `available`, at
// `current` moved just far enough to lie inside, or centred when it has no place yet.
QRect fitted(const QRect& available, const QMargins& frame, QSize wanted, std::optional<QPoint> current);

// Gives `window` its fitted geometry on its screen: the first time at `wanted` size, centred on the
// screen of `beside`; afterwards where the user left it, at the size it has. The frame the desktop
// puts round it is the one it has, or before it is first shown the one `beside` has. A maximized or
// full-screen window is left as it is.
void fit(QWidget& window, QSize wanted, const QWidget* beside);

}  // namespace WindowPlacement
