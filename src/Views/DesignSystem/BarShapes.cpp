#include "Views/DesignSystem/BarShapes.h"

#include "Views/DesignSystem/ContinuousShape.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

qreal radius(qreal width) { return std::min(width / 2, qreal(2)); }

}  // namespace

QPolygonF BarShapes::flattened(const QRectF& bar, qreal ratio) {
    // The painter cuts curves to a quarter of a device pixel; a path cuts its own to half a unit.
    const qreal scale = 2 * ratio;
    return ContinuousShape::roundedRect(bar, radius(bar.width())).toFillPolygon(QTransform::fromScale(scale, scale)) *
           QTransform::fromScale(1 / scale, 1 / scale);
}

void BarShapes::prepareEnds(qreal width, qreal ratio) {
    if (width == endsWidth_ && ratio == endsRatio_) return;
    const QRectF model(0, 0, width, 4 * width);
    ends_ = flattened(model, ratio);
    endsMiddle_ = model.center().y();
    // The outline runs clockwise from the top edge, so the upper end is split round the lower one:
    // put the points after the lower end first.
    const auto lower = [this](const QPointF& point) { return point.y() >= endsMiddle_; };
    const auto lowerBegin = std::find_if(ends_.begin(), ends_.end(), lower);
    const auto lowerEnd = std::find_if_not(lowerBegin, ends_.end(), lower);
    upperEnd_ = QPolygonF(QList<QPointF>(lowerEnd, ends_.end()));
    upperEnd_ += QPolygonF(QList<QPointF>(ends_.begin(), lowerBegin));
    endsReach_ = 0;
    for (const QPointF& point : upperEnd_) endsReach_ = std::max(endsReach_, point.y());
    // Lower than its width, a bar's corners change with its height; the two ends must not meet.
    endsMinimum_ = std::max(width, 2 * endsReach_);
    endsWidth_ = width;
    endsRatio_ = ratio;
    rests_.clear();
}

QPolygonF BarShapes::highOutline(const QRectF& bar) const {
    QPolygonF points = ends_;
    const QPointF toTop(bar.left(), bar.top()), toBottom(bar.left(), bar.bottom() - 4 * bar.width());
    for (QPointF& point : points) point += point.y() < endsMiddle_ ? toTop : toBottom;
    return points;
}

const BarShapes::Rest& BarShapes::rest(size_t column, const QRectF& bar, const QColor& color, qreal ratio, const QPainterPath* outside) {
    if (rests_.size() <= column) rests_.resize(column + 1);
    Rest& rest = rests_[column];
    if (rest.left == bar.left() && rest.bottom == bar.bottom() && rest.ratio == ratio && rest.color == color &&
        rest.clipped == (outside != nullptr) && !rest.picture.isNull())
        return rest;
    rest = {bar.left(), bar.bottom(), ratio, color, outside != nullptr, int(std::floor(bar.left() * ratio)), {}};
    const int right = int(std::ceil(bar.right() * ratio));
    rest.picture = QPixmap(std::max(right - rest.firstDeviceColumn, 1), int(std::ceil(bar.bottom() * ratio)));
    rest.picture.setDevicePixelRatio(ratio);
    rest.picture.fill(Qt::transparent);
    QPainter painter(&rest.picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.translate(-rest.firstDeviceColumn / ratio, 0);
    if (outside) painter.setClipPath(*outside);
    painter.drawPolygon(highOutline(QRectF(bar.left(), 0, bar.width(), bar.bottom())));
    return rest;
}

BarShapes::LowKey BarShapes::lowKey(size_t column, const QRectF& bar, const QColor& color, qreal ratio, const QPainterPath* outside) {
    return {bar.width(), bar.height(), bar.left() * ratio - std::floor(bar.left() * ratio), bar.top() * ratio - std::floor(bar.top() * ratio),
            color.rgba(), ratio, outside ? static_cast<long long>(column) : -1};
}

void BarShapes::paintLow(QPainter& painter, size_t column, const QRectF& bar, const QColor& color, qreal ratio, const QPainterPath* outside) {
    const QPoint first(int(std::floor(bar.left() * ratio)), int(std::floor(bar.top() * ratio)));
    auto found = lows_.find(lowKey(column, bar, color, ratio, outside));
    if (found == lows_.end()) {
        // Heights come and go while bars ease; what stays is soon made again.
        if (lows_.size() >= 512) lows_.clear();
        const QPoint last(int(std::ceil(bar.right() * ratio)), int(std::ceil(bar.bottom() * ratio)));
        Low low{QPixmap(std::max(last.x() - first.x(), 1), std::max(last.y() - first.y(), 1))};
        low.picture.setDevicePixelRatio(ratio);
        low.picture.fill(Qt::transparent);
        QPainter picture(&low.picture);
        picture.setRenderHint(QPainter::Antialiasing);
        picture.translate(-QPointF(first) / ratio);
        if (outside) picture.setClipPath(*outside);
        picture.fillPath(ContinuousShape::roundedRect(bar, radius(bar.width())), color);
        found = lows_.emplace(lowKey(column, bar, color, ratio, outside), std::move(low)).first;
    }
    painter.drawPixmap(QPointF(first) / ratio, found->second.picture);
}

void BarShapes::paint(QPainter& painter, size_t column, const QRectF& bar, const QColor& color, bool settled, const QPainterPath* outside) {
    painter.setBrush(color);
    const qreal ratio = painter.device()->devicePixelRatioF();
    prepareEnds(bar.width(), ratio);
    // The picture's rows must fall on whole device pixels.
    const bool aligned = ratio == std::round(ratio) && painter.transform().type() <= QTransform::TxTranslate &&
                         painter.transform().dx() == std::round(painter.transform().dx()) &&
                         painter.transform().dy() == std::round(painter.transform().dy());
    const int cutRow = int(std::ceil((bar.top() + endsReach_) * ratio));
    const qreal cut = cutRow / ratio;
    const bool high = bar.height() >= endsMinimum_;
    if (aligned && !high && (settled || lows_.contains(lowKey(column, bar, color, ratio, outside)))) {
        paintLow(painter, column, bar, color, ratio, outside);
        return;
    }
    // A clip costs more than the fill it cuts: the picture of the rest has it already, and the
    // upper end seldom reaches the outline.
    if (!aligned || cut + endsReach_ > bar.bottom() || bar.top() < 0 ||
        (outside && !outside->contains(QRectF(bar.left(), bar.top(), bar.width(), cut - bar.top())))) {
        painter.save();
        if (outside) painter.setClipPath(*outside, Qt::IntersectClip);
        if (high)
            painter.drawPolygon(highOutline(bar));
        else
            painter.fillPath(ContinuousShape::roundedRect(bar, radius(bar.width())), color);
        painter.restore();
        return;
    }
    QPolygonF upper = upperEnd_.translated(bar.topLeft());
    upper << QPointF(bar.right(), cut) << QPointF(bar.left(), cut);
    painter.drawPolygon(upper);
    const Rest& below = rest(column, bar, color, ratio, outside);
    const QSize size = below.picture.size();
    painter.drawPixmap(QRectF(below.firstDeviceColumn / ratio, cut, size.width() / ratio, (size.height() - cutRow) / ratio), below.picture,
                       QRectF(0, cutRow, size.width(), size.height() - cutRow));
}
