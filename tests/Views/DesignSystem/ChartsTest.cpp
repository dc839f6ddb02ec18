#include "Models/MetricPoint.h"
#include "Views/DesignSystem/AreaTrend.h"
#include "Views/DesignSystem/BarSparkline.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/DonutChart.h"
#include "Views/DesignSystem/ThinBar.h"
#include "ViewSupport/ImageMatch.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>

namespace {

std::vector<MetricPoint> pointsOf(std::initializer_list<double> values) {
    std::vector<MetricPoint> points;
    double second = 0;
    for (double value : values) points.push_back({Uuid::random(), Instant::fromReferenceSeconds(second++), value});
    return points;
}

QImage renderIn(QWidget& widget, Qt::LayoutDirection direction) {
    widget.setLayoutDirection(direction);
    return widget.grab().toImage();
}

}  // namespace

TEST(BarSparkline, PadsWithZerosOnTheLeftAndScalesToTheLargest) {
    const QSizeF area(300, 50);
    const auto bars = BarSparkline::bars({2, 4, 1, 8, 4}, std::nullopt, 30, area);
    ASSERT_EQ(bars.size(), 30u);
    for (size_t i = 0; i < 25; ++i) {
        EXPECT_TRUE(bars[i].flat) << i;
        EXPECT_EQ(bars[i].rect.height(), 2);
    }
    // The newest sample stands last, on the right; the largest fills the height.
    EXPECT_DOUBLE_EQ(bars[28].rect.height(), 50);
    EXPECT_DOUBLE_EQ(bars[29].rect.height(), 25);
    EXPECT_DOUBLE_EQ(bars[27].rect.height(), 6.25);
    EXPECT_DOUBLE_EQ(bars[29].rect.bottom(), 50);
    // Width: (300 − 29 × 3) / 30, bars 3 apart, the last ending at the right edge.
    EXPECT_DOUBLE_EQ(bars[0].rect.width(), 7.1);
    EXPECT_DOUBLE_EQ(bars[1].rect.left() - bars[0].rect.right(), 3);
    EXPECT_NEAR(bars[29].rect.right(), 300, 1e-9);

    // Only the newest barCount values are shown.
    const auto lastTwo = BarSparkline::bars({100, 1, 2}, std::nullopt, 2, area);
    EXPECT_DOUBLE_EQ(lastTwo[0].rect.height(), 25);
    EXPECT_DOUBLE_EQ(lastTwo[1].rect.height(), 50);
}

TEST(BarSparkline, FlatBarsAndLimits) {
    const QSizeF area(100, 40);
    // All zero without a maximum: only flat bars, never a division by zero.
    for (const auto& bar : BarSparkline::bars({0, 0, 0}, std::nullopt, 10, area)) {
        EXPECT_TRUE(bar.flat);
        EXPECT_EQ(bar.rect.height(), 2);
    }
    // Just above 1 % of the scale is a real bar at least 3 high; at 1 % or below it is flat.
    const auto small = BarSparkline::bars({1.02, 1.0, 100}, std::nullopt, 3, area);
    EXPECT_FALSE(small[0].flat);
    EXPECT_EQ(small[0].rect.height(), 3);
    EXPECT_TRUE(small[1].flat);
    // A maximum below the values caps the bars at the full height.
    const auto capped = BarSparkline::bars({5, 50}, 10.0, 2, area);
    EXPECT_DOUBLE_EQ(capped[0].rect.height(), 20);
    EXPECT_DOUBLE_EQ(capped[1].rect.height(), 40);
    // Negative and unknown samples are flat; no bars at all for a count of 0; narrow areas keep 1-wide bars.
    const auto odd = BarSparkline::bars({-4, std::nan(""), 2}, std::nullopt, 3, area);
    EXPECT_TRUE(odd[0].flat);
    EXPECT_TRUE(odd[1].flat);
    EXPECT_FALSE(odd[2].flat);
    EXPECT_TRUE(BarSparkline::bars({1, 2}, std::nullopt, 0, area).empty());
    EXPECT_EQ(BarSparkline::bars({1}, std::nullopt, 60, QSizeF(50, 10))[0].rect.width(), 1);
}

TEST(DonutChart, StartsAtTheTopWithAGapAfterEachSegment) {
    const auto arcs = DonutChart::arcs({{3, DS::blue}, {1, DS::amber}});
    ASSERT_EQ(arcs.size(), 2u);
    EXPECT_DOUBLE_EQ(arcs[0].start, 0);
    EXPECT_DOUBLE_EQ(arcs[0].end, 0.75 - 0.006);
    EXPECT_DOUBLE_EQ(arcs[1].start, 0.75);
    EXPECT_DOUBLE_EQ(arcs[1].end, 1 - 0.006);

    // One segment that is the whole total leaves just the gap.
    const auto whole = DonutChart::arcs({{42, DS::green}});
    EXPECT_DOUBLE_EQ(whole[0].end, 0.994);

    // All zero: nothing but the track; a share shorter than the gap draws nothing.
    for (const auto& arc : DonutChart::arcs({{0, DS::blue}, {0, DS::pink}})) EXPECT_EQ(arc.end, arc.start);
    const auto sliver = DonutChart::arcs({{1000, DS::blue}, {1, DS::pink}});
    EXPECT_EQ(sliver[1].end, sliver[1].start);
    // A negative or unknown share counts as nothing rather than bending the ring backwards.
    const auto odd = DonutChart::arcs({{-5, DS::blue}, {std::nan(""), DS::pink}, {1, DS::green}});
    EXPECT_EQ(odd[0].end, odd[0].start);
    EXPECT_EQ(odd[1].end, odd[1].start);
    EXPECT_DOUBLE_EQ(odd[2].start, 0);
    EXPECT_DOUBLE_EQ(odd[2].end, 0.994);
}

TEST(ThinBar, FillNeverNarrowerThanTallNorPastTheEnd) {
    EXPECT_EQ(ThinBar::fillWidth(0, 220, 4), 4);
    EXPECT_EQ(ThinBar::fillWidth(-1, 220, 4), 4);
    EXPECT_EQ(ThinBar::fillWidth(std::nan(""), 220, 4), 4);
    EXPECT_EQ(ThinBar::fillWidth(0.5, 220, 4), 110);
    EXPECT_EQ(ThinBar::fillWidth(1, 220, 4), 220);
    EXPECT_EQ(ThinBar::fillWidth(1.5, 220, 4), 220);
}

TEST(AreaTrend, VerticalRangeAndGrid) {
    const auto empty = AreaTrend::yRange({}, std::nullopt);
    EXPECT_EQ(empty.lower, 0);
    EXPECT_DOUBLE_EQ(empty.upper, 1.15);
    const auto scaled = AreaTrend::yRange(pointsOf({2, 10, 4}), std::nullopt);
    EXPECT_EQ(scaled.lower, 0);
    EXPECT_DOUBLE_EQ(scaled.upper, 11.5);
    const auto zero = AreaTrend::yRange(pointsOf({0, 0}), std::nullopt);
    EXPECT_GT(zero.upper, 0);  // never an empty range
    const auto domain = AreaTrend::yRange(pointsOf({50}), AreaTrend::Range{20, 100});
    EXPECT_EQ(domain.lower, 20);
    EXPECT_EQ(domain.upper, 100);

    EXPECT_EQ(AreaTrend::gridValues({0, 1.15}), (std::vector<double>{0, 0.5, 1.0}));
    EXPECT_EQ(AreaTrend::gridValues({0, 100}), (std::vector<double>{0, 25, 50, 75, 100}));
    EXPECT_EQ(AreaTrend::gridValues({20, 100}), (std::vector<double>{20, 40, 60, 80, 100}));
    EXPECT_EQ(AreaTrend::gridValues({5, 5}), (std::vector<double>{5}));
}

TEST(AreaTrend, CurveStaysBetweenItsSamples) {
    // A plateau between two climbs must not bulge above it, nor a dip below the floor.
    const QRectF plot(0, 0, 300, 100);
    const QPainterPath line = AreaTrend::linePath(pointsOf({0, 50, 50, 50, 0, 0, 100}), {0, 100}, plot);
    const QRectF bounds = line.boundingRect();
    EXPECT_GE(bounds.top(), 0 - 1e-6);
    EXPECT_LE(bounds.bottom(), 100 + 1e-6);
    // Along the plateau (samples 1 to 3, x from 50 to 150) the curve stays at 50, that is y = 50;
    // between the two zeros (x from 200 to 250) it stays on the floor.
    for (int step = 0; step <= 1000; ++step) {
        const QPointF at = line.pointAtPercent(step / 1000.0);
        if (at.x() > 50 && at.x() < 150) {
            EXPECT_NEAR(at.y(), 50, 1e-6) << at.x();
        }
        if (at.x() > 200 && at.x() < 250) {
            EXPECT_NEAR(at.y(), 100, 1e-6) << at.x();
        }
    }
    EXPECT_TRUE(AreaTrend::linePath({}, {0, 1}, plot).isEmpty());
}

TEST(Charts, TimeRunsLeftToRightInEveryLanguage) {
    BarSparkline sparkline({0, 0, 0, 0, 1}, DS::blue, std::nullopt, 5, 40);
    sparkline.resize(200, 40);
    EXPECT_EQ(renderIn(sparkline, Qt::LeftToRight), renderIn(sparkline, Qt::RightToLeft));

    AreaTrend trend(pointsOf({1, 5, 2, 8}), DS::teal);
    trend.resize(200, 80);
    EXPECT_EQ(renderIn(trend, Qt::LeftToRight), renderIn(trend, Qt::RightToLeft));

    // The thin bar fills from the leading edge, so it mirrors.
    ThinBar bar(0.3, DS::green, 6);
    bar.resize(200, 6);
    const QImage leftToRight = renderIn(bar, Qt::LeftToRight);
    EXPECT_LT(imageDifference(renderIn(bar, Qt::RightToLeft), leftToRight.mirrored(true, false)), 0.02);
    EXPECT_GT(imageDifference(leftToRight, leftToRight.mirrored(true, false)), 0.5);
}
