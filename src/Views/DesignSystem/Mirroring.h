#pragma once

#include <QRectF>

// Where a rectangle laid out left to right inside `within` goes in a right-to-left layout.
inline QRectF mirroredIn(const QRectF& rect, const QRectF& within) {
    return {within.left() + within.right() - rect.right(), rect.top(), rect.width(), rect.height()};
}
