#include "Views/DesignSystem/BarSparkline.h"

#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/Transition.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

BarSparkline::BarSparkline(const std::vector<double>& values, const DynamicColor& tint, std::optional<double> maxValue, int barCount,
                           qreal height, QWidget* parent)
    : QWidget(parent),
      values_(values),
      tint_(tint),
      maxValue_(maxValue),
      barCount_(std::max(0, barCount)),
      height_(height),
      transition_(new Transition(this, 350, QEasingCurve::OutCubic)) {
    transition_->setStep([this] { repaintMoved(); });
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFixedHeight(int(std::lround(height)));
}

std::vector<BarSparkline::Bar> BarSparkline::bars(const std::vector<double>& values, std::optional<double> maxValue, int barCount,
                                                  const QSizeF& size) {
    const size_t n = size_t(std::max(0, barCount));
    std::vector<double> padded(n, 0.0);
    const size_t taken = std::min(n, values.size());
    std::copy(values.end() - std::ptrdiff_t(taken), values.end(), padded.end() - std::ptrdiff_t(taken));

    double scale = maxValue ? *maxValue : (padded.empty() ? 1.0 : *std::max_element(padded.begin(), padded.end()));
    scale = std::max(scale, std::numeric_limits<double>::denorm_min());

    std::vector<Bar> result;
    result.reserve(n);
    const qreal width = n == 0 ? 0 : std::max((size.width() - qreal(n - 1) * spacing) / qreal(n), qreal(1));
    for (size_t i = 0; i < n; ++i) {
        const double share = std::min(padded[i] / scale, 1.0);
        const bool flat = !(share > 0.01);  // zero, negative, tiny or not a number
        const qreal height = flat ? 2 : std::max(share * size.height(), qreal(3));
        result.push_back({QRectF(qreal(i) * (width + spacing), size.height() - height, width, height), flat});
    }
    return result;
}

void BarSparkline::setValues(const std::vector<double>& values) {
    // Only a new bar eases in: once every bar holds a value, a new sample moves the line along,
    // and easing all of them every second would keep the sparkline repainting for a third of it.
    const size_t drawn = size_t(barCount_);
    const bool countChanged = std::min(values.size(), drawn) != std::min(values_.size(), drawn);
    if (countChanged) {
        startHeights_.clear();
        for (const Bar& bar : bars(values_, maxValue_, barCount_, QSizeF(width() - 2 * padding, height() - padding)))
            startHeights_.push_back(bar.rect.height());
    }
    values_ = values;
    if (countChanged) transition_->start();
    repaintMoved();
}

void BarSparkline::setTint(const DynamicColor& tint) {
    tint_ = tint;
    repaintAll();
}

void BarSparkline::setMaxValue(std::optional<double> maxValue) {
    maxValue_ = maxValue;
    repaintMoved();
}

void BarSparkline::setBackdrop(const DynamicColor& backdrop) {
    backdrop_ = backdrop;
    setAttribute(Qt::WA_OpaquePaintEvent);
    repaintAll();
}

void BarSparkline::setBarCount(int barCount) {
    barCount_ = std::max(0, barCount);
    repaintAll();
}

QSize BarSparkline::sizeHint() const { return {160, int(std::lround(height_))}; }

void BarSparkline::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    painted_.clear();
}

void BarSparkline::repaintAll() {
    painted_.clear();
    update();
}

std::vector<BarSparkline::Bar> BarSparkline::shownBars() const {
    // Time runs left to right in every language, so the layout direction plays no part.
    const QRectF area(padding, padding, width() - 2 * padding, height() - padding);
    const qreal progress = transition_->progress();
    std::vector<Bar> shown = bars(values_, maxValue_, barCount_, area.size());
    for (size_t i = 0; i < shown.size(); ++i) {
        QRectF& bar = shown[i].rect;
        if (progress < 1 && i < startHeights_.size()) {
            const qreal height = Transition::mix(startHeights_[i], bar.height(), progress);
            bar.setTop(bar.bottom() - height);
        }
        bar.translate(area.topLeft());
    }
    return shown;
}

QRect BarSparkline::column(const Bar& bar) const {
    const int left = int(std::floor(bar.rect.left())), right = int(std::ceil(bar.rect.right()));
    return {left, 0, std::max(right - left, 1), height()};
}

void BarSparkline::repaintMoved() {
    const std::vector<Bar> shown = shownBars();
    if (painted_.size() != shown.size()) {
        update();
        return;
    }
    // While easing, a bar that moved less than a sixteenth of a pixel waits for the next step; the
    // last step and a sample at rest paint every difference, so the bars always settle exactly.
    const qreal tolerance = transition_->progress() < 1 ? 1.0 / 16 : 0;
    // One rectangle round all that moved: a region of many strips would be clipped and flushed strip
    // by strip.
    QRect moved;
    for (size_t i = 0; i < shown.size(); ++i) {
        const std::optional<Bar>& before = painted_[i];
        const bool same = before && before->flat == shown[i].flat && std::abs(before->rect.top() - shown[i].rect.top()) <= tolerance &&
                          before->rect.left() == shown[i].rect.left() && before->rect.right() == shown[i].rect.right();
        if (!same) moved |= column(shown[i]);
    }
    if (!moved.isEmpty()) update(moved);
}

const QPixmap& BarSparkline::background() {
    const std::pair<QColor, QColor> colors{backdrop_ ? backdrop_->resolved() : QColor(Qt::transparent), tint_.resolved(0.12)};
    const qreal ratio = devicePixelRatioF();
    if (background_.isNull() || background_.deviceIndependentSize() != QSizeF(size()) || background_.devicePixelRatio() != ratio ||
        backgroundColors_ != colors) {
        background_ = QPixmap((QSizeF(size()) * ratio).toSize());
        background_.setDevicePixelRatio(ratio);
        background_.fill(colors.first);
        QPainter painter(&background_);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(ContinuousShape::roundedRect(rect(), 12), colors.second);
        backgroundColors_ = colors;
    }
    return background_;
}

void BarSparkline::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    // The rounded background is the same at every step: filling its outline each time is the dear part.
    painter.drawPixmap(0, 0, background());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);

    const QRegion& region = event->region();
    const std::vector<Bar> shown = shownBars();
    painted_.assign(shown.size(), std::nullopt);
    const QColor full = tint_.resolved(), faint = tint_.resolved(0.45);
    // Only bars that reach into a rounded corner are cut by the background's outline.
    const qreal corner = 12 * 1.6;
    const QRectF clear = QRectF(rect()).adjusted(corner, 0, -corner, 0);
    const QPainterPath outside = ContinuousShape::roundedRect(rect(), 12);
    const bool settled = !transition_->isRunning();
    for (size_t i = 0; i < shown.size(); ++i) {
        const QRect strip = column(shown[i]);
        if (!region.intersects(strip)) continue;
        // A bar cut by the region's edge (an expose) is painted again with the next change.
        if ((QRegion(strip) - region).isEmpty()) painted_[i] = shown[i];
        const QRectF& bar = shown[i].rect;
        shapes_.paint(painter, i, bar, shown[i].flat ? faint : full, settled, clear.contains(bar) ? nullptr : &outside);
    }
}
