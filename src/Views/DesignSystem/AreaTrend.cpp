#include "Views/DesignSystem/AreaTrend.h"

#include "Views/DesignSystem/DS.h"

#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

AreaTrend::AreaTrend(const std::vector<MetricPoint>& points, const DynamicColor& tint, std::optional<Range> domain, bool showsGrid, QWidget* parent)
    : QWidget(parent), points_(points), tint_(tint), domain_(domain), showsGrid_(showsGrid) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void AreaTrend::setPoints(const std::vector<MetricPoint>& points) {
    points_ = points;
    update();
}

void AreaTrend::setTint(const DynamicColor& tint) {
    tint_ = tint;
    update();
}

void AreaTrend::setDomain(std::optional<Range> domain) {
    domain_ = domain;
    update();
}

void AreaTrend::setShowsGrid(bool showsGrid) {
    showsGrid_ = showsGrid;
    update();
}

AreaTrend::Range AreaTrend::yRange(const std::vector<MetricPoint>& points, std::optional<Range> domain) {
    if (domain) return *domain;
    if (points.empty()) return {0, 1.15};
    double largest = std::numeric_limits<double>::denorm_min();
    for (const MetricPoint& point : points) largest = std::max(largest, point.value);
    return {0, largest * 1.15};
}

std::vector<double> AreaTrend::gridValues(Range range) {
    const double span = range.upper - range.lower;
    if (!(span > 0) || !std::isfinite(span)) return {range.lower};
    constexpr int desiredCount = 4;
    // The smallest step of 1, 2, 2.5 or 5 times a power of ten that needs at most four intervals.
    double step = 0;
    const double magnitude = std::pow(10.0, std::floor(std::log10(span / desiredCount)));
    for (double factor : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        step = factor * magnitude;
        if (span / step <= desiredCount + 1e-9) break;
    }
    std::vector<double> values;
    for (double value = std::ceil(range.lower / step - 1e-9) * step; value <= range.upper + step * 1e-9; value += step)
        values.push_back(std::abs(value) < step * 1e-9 ? 0 : value);
    return values;
}

QPainterPath AreaTrend::linePath(const std::vector<MetricPoint>& points, Range range, const QRectF& plot) {
    QPainterPath path;
    if (points.empty()) return path;
    const double first = points.front().date.referenceSeconds(), last = points.back().date.referenceSeconds();
    const double timeSpan = last - first, valueSpan = range.upper - range.lower;
    std::vector<QPointF> at;
    at.reserve(points.size());
    for (const MetricPoint& point : points) {
        const double x = timeSpan > 0 ? (point.date.referenceSeconds() - first) / timeSpan : 0.5;
        const double y = valueSpan > 0 ? (point.value - range.lower) / valueSpan : 0;
        at.emplace_back(plot.left() + x * plot.width(), plot.bottom() - y * plot.height());
    }
    path.moveTo(at.front());
    if (at.size() == 1) return path;

    // Monotone cubic interpolation (Fritsch and Carlson): tangents from the neighbouring slopes,
    // flattened where the data turns, so the curve stays within each pair of samples.
    const size_t n = at.size();
    std::vector<double> slope(n - 1), tangent(n);
    for (size_t i = 0; i + 1 < n; ++i) {
        const double dx = at[i + 1].x() - at[i].x();
        slope[i] = dx > 0 ? (at[i + 1].y() - at[i].y()) / dx : 0;
    }
    tangent[0] = slope[0];
    tangent[n - 1] = slope[n - 2];
    for (size_t i = 1; i + 1 < n; ++i) tangent[i] = slope[i - 1] * slope[i] <= 0 ? 0 : (slope[i - 1] + slope[i]) / 2;
    for (size_t i = 0; i + 1 < n; ++i) {
        if (slope[i] == 0) {
            tangent[i] = tangent[i + 1] = 0;
            continue;
        }
        const double a = tangent[i] / slope[i], b = tangent[i + 1] / slope[i];
        const double length = std::hypot(a, b);
        if (length > 3) {
            tangent[i] = 3 / length * a * slope[i];
            tangent[i + 1] = 3 / length * b * slope[i];
        }
    }
    for (size_t i = 0; i + 1 < n; ++i) {
        const double dx = at[i + 1].x() - at[i].x();
        if (dx <= 0) {
            path.lineTo(at[i + 1]);
            continue;
        }
        path.cubicTo(QPointF(at[i].x() + dx / 3, at[i].y() + tangent[i] * dx / 3),
                     QPointF(at[i + 1].x() - dx / 3, at[i + 1].y() - tangent[i + 1] * dx / 3), at[i + 1]);
    }
    return path;
}

QSize AreaTrend::sizeHint() const { return {240, 120}; }

void AreaTrend::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF plot = QRectF(rect()).adjusted(0, 1, 0, -1);  // room for the outermost grid lines
    const Range range = yRange(points_, domain_);
    const double valueSpan = range.upper - range.lower;

    if (showsGrid_) {
        painter.setPen(QPen(DS::hairline.resolved(), 1));
        for (double value : gridValues(range)) {
            const double y = valueSpan > 0 ? plot.bottom() - (value - range.lower) / valueSpan * plot.height() : plot.bottom();
            const qreal snapped = std::floor(y) + 0.5;
            painter.drawLine(QPointF(plot.left(), snapped), QPointF(plot.right(), snapped));
        }
    }
    if (points_.size() < 2) return;

    // Time runs left to right in every language, so the layout direction plays no part.
    painter.setClipRect(rect());
    const QPainterPath line = linePath(points_, range, plot);
    QPainterPath area = line;
    area.lineTo(line.currentPosition().x(), plot.bottom());
    area.lineTo(line.elementAt(0).x, plot.bottom());
    area.closeSubpath();
    QLinearGradient fade(plot.topLeft(), plot.bottomLeft());
    fade.setColorAt(0, tint_.resolved(0.42));
    fade.setColorAt(1, tint_.resolved(0.02));
    painter.fillPath(area, fade);
    painter.strokePath(line, QPen(tint_.resolved(), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}
