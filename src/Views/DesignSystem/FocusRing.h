#pragma once

#include <QPainterPath>

class QPainter;
class QWidget;

// Whether `widget` holds focus that the keyboard moved there (a Tab or Backtab key, a shortcut).
// Focus given at start-up, by a click, handed back when a dialog closes or passed on when the focused
// widget went away does not count, so no control looks selected that the user did not pick.
bool showsFocusRing(const QWidget& widget);

// Outlines `shape` while `widget` shows its focus ring.
void paintFocusRing(QPainter& painter, const QWidget& widget, const QPainterPath& shape, qreal width = 1.5);
