#include "Views/Overview/CapacityBar.h"

#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/DS.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <span>

std::vector<CapacityBar::Segment> CapacityBar::segments(const std::vector<StorageBucket>& buckets, std::int64_t total,
                                                        std::int64_t available, double barWidth, std::int64_t reserved) {
    const std::span<const StorageBucket> top(buckets.data(), std::min<std::size_t>(buckets.size(), 5));
    const double used = double(std::max<std::int64_t>(total - available - std::max<std::int64_t>(reserved, 0), 0));
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
    if (reserved > 0 && total > 0) result.push_back({std::max(barWidth * std::min(double(reserved) / double(total), 1.0), 4.0), -3});
    result.push_back({0, -2});
    return result;
}

CapacityBar::Shape CapacityBar::shapeOf(const std::vector<Segment>& segments) {
    Shape shape;
    for (const Segment& segment : segments) {
        const std::size_t slot = segment.rank >= 0   ? std::size_t(segment.rank)
                                 : segment.rank == -1 ? Shape::rest
                                 : segment.rank == -3 ? Shape::reserved
                                                      : Shape::free;
        shape.width[slot] = segment.width;
        shape.presence[slot] = 1;
    }
    shape.restOpacity = std::any_of(segments.begin(), segments.end(), [](const Segment& segment) { return segment.rank >= 0; }) ? 0.45 : 1;
    return shape;
}

CapacityBar::CapacityBar(int height, QWidget* parent) : QWidget(parent) {
    setFixedHeight(height);
    setLayoutDirection(Qt::LeftToRight);
}

void CapacityBar::setFigures(std::shared_ptr<const ScanSnapshot> snapshot, std::int64_t total, std::int64_t available, std::int64_t reserved) {
    const std::optional<std::int64_t> scanTotal = snapshot ? std::optional(snapshot->totalSize) : std::nullopt;
    snapshot_ = std::move(snapshot);
    total_ = total;
    available_ = available;
    reserved_ = reserved;
    // Only a new scan total eases; the volume's own figures move every refresh and follow at once.
    if (scanTotal != scanTotal_ && lastPainted_) {
        easeFrom_ = *lastPainted_;
        ease_.start();
    }
    scanTotal_ = scanTotal;
    update();
}

CapacityBar::Shape CapacityBar::targetShape() const {
    static const std::vector<StorageBucket> none;
    return shapeOf(segments(snapshot_ ? snapshot_->buckets : none, total_, available_, width(), reserved_));
}

CapacityBar::Shape CapacityBar::shownShape() const {
    const Shape target = targetShape();
    if (!ease_.isRunning()) return target;
    const qreal progress = ease_.progress();
    Shape shown;
    for (std::size_t i = 0; i < Shape::count; ++i) {
        shown.width[i] = Transition::mix(easeFrom_.width[i], target.width[i], progress);
        shown.presence[i] = Transition::mix(easeFrom_.presence[i], target.presence[i], progress);
    }
    shown.restOpacity = Transition::mix(easeFrom_.restOpacity, target.restOpacity, progress);
    return shown;
}

void CapacityBar::paintEvent(QPaintEvent*) {
    static const std::array<DynamicColor, 5> palette{DS::amber, DS::orange, DS::pink, DS::purple, DS::blue};
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Shape shape = shownShape();
    lastPainted_ = shape;
    double x = 0;
    for (std::size_t slot = 0; slot < Shape::count; ++slot) {
        if (shape.presence[slot] <= 0) continue;
        const double w = slot == Shape::free ? std::max(width() - x, 0.0) : shape.width[slot];
        if (w <= 0) continue;
        const QColor color = slot < Shape::rest ? palette[slot].resolved()
                             : slot == Shape::rest     ? DS::amber.resolved(shape.restOpacity)
                             : slot == Shape::reserved ? DS::gray.resolved(0.5)
                                                       : DS::track.resolved();
        painter.fillPath(ContinuousShape::capsule(QRectF(x, 0, std::min(w, width() - x), height())), color);
        x += w + spacing * shape.presence[slot];
        if (x >= width()) break;
    }
}
