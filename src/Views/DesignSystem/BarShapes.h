#pragma once

#include <QColor>
#include <QPixmap>
#include <QPolygonF>
#include <QRectF>

#include <vector>

class QPainter;
class QPainterPath;

// Paints the rounded bars of one sparkline cheaply enough to do it at every step of an easing.
// Every high bar of one width (at least as high as wide) has the same two rounded ends: they are
// flattened once, as finely as the painter flattens curves, and moved to each bar. A high bar is its
// upper end, filled, above a picture of the rest of that bar's column, made once: below its upper
// end a bar looks the same at any height. Lower bars are filled as they are.
class BarShapes {
public:
    // Paints the bar standing in column `column` (bars of one column share a left edge and a
    // bottom), antialiased, with no outline, inside `outside` when given (the same for every call).
    void paint(QPainter& painter, size_t column, const QRectF& bar, const QColor& color, const QPainterPath* outside = nullptr);

private:
    struct Rest {
        qreal left = 0, bottom = 0, ratio = 0;
        QColor color;
        bool clipped = false;
        int firstDeviceColumn = 0;
        QPixmap picture;  // the whole bar from the top of the sparkline, on clear
    };
    void prepareEnds(qreal width, qreal ratio);
    // The outline of a bar at least endsMinimum_ high.
    QPolygonF highOutline(const QRectF& bar) const;
    // The outline's curves cut into lines as finely as the painter cuts them itself.
    static QPolygonF flattened(const QRectF& bar, qreal ratio);
    const Rest& rest(size_t column, const QRectF& bar, const QColor& color, qreal ratio, const QPainterPath* outside);

    qreal endsWidth_ = -1, endsRatio_ = 0;
    QPolygonF ends_;          // a bar of endsWidth_ by 4 endsWidth_ at the origin
    QPolygonF upperEnd_;      // its points above the middle, in order, from the left edge round to the right
    qreal endsMiddle_ = 0;
    qreal endsReach_ = 0;     // how far down the upper end reaches
    qreal endsMinimum_ = 0;   // the least height of a bar with these ends
    std::vector<Rest> rests_;
};
