#include "Views/Overview/CapacityBar.h"

#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/DS.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <span>

std::vector<CapacityBar::Segment> CapacityBar::segments(const std::vector<StorageBucket>& buckets, std::int64_t total,
                                                        std::int64_t available, double barWidth) {
    const std::span<const StorageBucket> top(buckets.data(), std::min<std::size_t>(buckets.size(), 5));
    const double used = double(std::max<std::int64_t>(total - available, 0));
    std::vector<Segment> result;
    if (!top.empty() && total != 0) {
        double topTotal = 0;
        for (std::size_t i = 0; i < top.size(); ++i) {
            result.push_back({std::max(barWidth * double(top[i].size) / double(total), 4.0), int(i)});
            topTotal += double(top[i].size);
        }
        result.push_back({std::max(barWidth * std::max(used - topTotal, 0.0) / double(total), 4.0), -1});
    } else {
        const double ratio = total > 0 ? std::min(used / double(total), 1.0) : 0;
        result.push_back({std::max(barWidth * ratio, 6.0), -1});
    }
    result.push_back({0, -2});
    return result;
}

CapacityBar::CapacityBar(QWidget* parent) : QWidget(parent) {
    setFixedHeight(12);
    setLayoutDirection(Qt::LeftToRight);
}

void CapacityBar::setFigures(std::shared_ptr<const ScanSnapshot> snapshot, std::int64_t total, std::int64_t available) {
    snapshot_ = std::move(snapshot);
    total_ = total;
    available_ = available;
    update();
}

void CapacityBar::paintEvent(QPaintEvent*) {
    static const std::array<DynamicColor, 5> palette{DS::amber, DS::orange, DS::pink, DS::purple, DS::blue};
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    static const std::vector<StorageBucket> none;
    const auto parts = segments(snapshot_ ? snapshot_->buckets : none, total_, available_, width());
    double x = 0;
    for (const Segment& segment : parts) {
        const double w = segment.rank == -2 ? std::max(width() - x, 0.0) : segment.width;
        if (w <= 0) continue;
        const QColor color = segment.rank >= 0 ? palette[std::size_t(segment.rank)].resolved()
                             : segment.rank == -1 ? DS::amber.resolved(parts.size() > 2 ? 0.45 : 1)
                                                  : DS::track.resolved();
        painter.fillPath(ContinuousShape::capsule(QRectF(x, 0, std::min(w, width() - x), height())), color);
        x += w + spacing;
        if (x >= width()) break;
    }
}
