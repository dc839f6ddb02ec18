#pragma once

#include "Views/DesignSystem/DynamicColor.h"
#include "Models/MetricPoint.h"

#include <QPainterPath>
#include <QWidget>

#include <optional>
#include <vector>

// A history as a filled area under a 2-wide line, time running left to right in every language.
// The vertical range is `domain`, or 0 to 1.15 × the largest value (0 to 1.15 with no points);
// the area fades from the tint at 42 % at the top to 2 % at the bottom; the vertical axis shows
// only grid lines, in DS.hairline when `showsGrid`.
class AreaTrend : public QWidget {
    Q_OBJECT
public:
    struct Range {
        double lower = 0;
        double upper = 1;
    };

    AreaTrend(const std::vector<MetricPoint>& points, const DynamicColor& tint, std::optional<Range> domain = std::nullopt, bool showsGrid = true,
              QWidget* parent = nullptr);

    void setPoints(const std::vector<MetricPoint>& points);
    void setTint(const DynamicColor& tint);
    void setDomain(std::optional<Range> domain);
    void setShowsGrid(bool showsGrid);
    const std::vector<MetricPoint>& points() const { return points_; }

    static Range yRange(const std::vector<MetricPoint>& points, std::optional<Range> domain);
    // The values the grid lines stand at: round steps, about four of them across the range.
    static std::vector<double> gridValues(Range range);
    // The line through the points in `plot`, a smooth curve that never overshoots between samples.
    static QPainterPath linePath(const std::vector<MetricPoint>& points, Range range, const QRectF& plot);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<MetricPoint> points_;
    DynamicColor tint_;
    std::optional<Range> domain_;
    bool showsGrid_;
};
