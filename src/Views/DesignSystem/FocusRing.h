#pragma once

#include <QPainterPath>

class QPainter;
class QWidget;

// Outlines `shape` while `widget` holds focus that the keyboard moved there. Focus given at start-up
// or by a click draws nothing, so the first control of a window never looks selected.
void paintFocusRing(QPainter& painter, const QWidget& widget, const QPainterPath& shape, qreal width = 1.5);
