#pragma once

#include <QString>

#include <QColor>
#include <QSizeF>

class QPainter;
class QRectF;

// The drawing of one treemap tile: a tinted card with a colour bar on top and, where the cell has
// room, the name, size and share.
struct TreemapTileFace {
    QString name;
    std::int64_t bytes = 0;
    QColor color;
    bool selected = false;
    double share = 0;
    QSizeF size;  // the whole cell, before the gap between tiles

    // Label rules by cell size: shown at all, name lines, large type, share line.
    bool showsLabels() const { return size.width() > 86 && size.height() > 54; }
    bool isLarge() const { return size.width() > 220 && size.height() > 120; }
    int nameLines() const { return size.height() > 90 ? 2 : 1; }
    bool showsShare() const { return size.height() > 110; }

    void paint(QPainter& painter, const QRectF& frame, Qt::LayoutDirection direction) const;
};
