#pragma once

#include <QColor>
#include <QPainterPath>
#include <QRectF>

// Rounded shapes with continuous corners: the curvature eases in from the straight edge instead
// of jumping to a quarter circle. Where the full corner does not fit, it blends towards a circular
// one, so a radius of half the shorter side gives a capsule with round ends.
class QPainter;

namespace ContinuousShape {

QPainterPath roundedRect(const QRectF& rect, qreal radius);
QPainterPath capsule(const QRectF& rect);

// A filled rounded rectangle outlined 1 wide inside its border (the stroke inset by half its width).
void paintSurface(QPainter& painter, const QRectF& rect, qreal radius, const QColor& fill, const QColor& outline);

}  // namespace ContinuousShape
