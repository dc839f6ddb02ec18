#pragma once

#include <QColor>
#include <QPixmap>
#include <QPolygonF>
#include <QRectF>

#include <map>
#include <tuple>
#include <vector>

class QPainter;
class QPainterPath;

// Paints the rounded bars of one sparkline cheaply enough to do it at every step of an easing.
// Every high bar of one width (at least as high as wide) has the same two rounded ends: they are
// flattened once, as finely as the painter flattens curves, and moved to each bar. A high bar is its
// upper end, filled, above a picture of the rest of that bar's column, made once: below its upper
// end a bar looks the same at any height. A settled lower bar is a picture of itself, kept for
// every other bar of its size at the same place within a device pixel: a sample moves the same
// heights one column on, and flat bars are all alike.
class BarShapes {
public:
    // Paints the bar standing in column `column` (bars of one column share a left edge and a
    // bottom), antialiased, with no outline, inside `outside` when given (the same for every call).
    // `settled`: the bar stays as it is for a while (no easing), so a picture of it pays off.
    void paint(QPainter& painter, size_t column, const QRectF& bar, const QColor& color, bool settled, const QPainterPath* outside = nullptr);

private:
    struct Rest {
        qreal left = 0, bottom = 0, ratio = 0;
        QColor color;
        bool clipped = false;
        int firstDeviceColumn = 0;
        QPixmap picture;  // the whole bar from the top of the sparkline, on clear
    };
    struct Low {
        QPixmap picture;  // from the device pixel the bar starts in
    };
    // What a lower bar's picture depends on: its size, where it starts within a device pixel, its
    // colour, the device's pixel ratio, and its column where the outline cuts it.
    using LowKey = std::tuple<qreal, qreal, qreal, qreal, QRgb, qreal, long long>;
    static LowKey lowKey(size_t column, const QRectF& bar, const QColor& color, qreal ratio, const QPainterPath* outside);
    void paintLow(QPainter& painter, size_t column, const QRectF& bar, const QColor& color, qreal ratio, const QPainterPath* outside);
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
    std::map<LowKey, Low> lows_;
};
