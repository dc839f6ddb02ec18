#include "Views/DesignSystem/BarSparkline.h"

#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/Transition.h"

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
    update();
}

void BarSparkline::setTint(const DynamicColor& tint) {
    tint_ = tint;
    update();
}

void BarSparkline::setMaxValue(std::optional<double> maxValue) {
    maxValue_ = maxValue;
    update();
}

void BarSparkline::setBarCount(int barCount) {
    barCount_ = std::max(0, barCount);
    update();
}

QSize BarSparkline::sizeHint() const { return {160, int(std::lround(height_))}; }

void BarSparkline::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath background = ContinuousShape::roundedRect(rect(), 12);
    painter.fillPath(background, tint_.resolved(0.12));

    // Time runs left to right in every language, so the layout direction plays no part.
    const QRectF area(padding, padding, width() - 2 * padding, height() - padding);
    const qreal progress = transition_->progress();
    const std::vector<Bar> shown = bars(values_, maxValue_, barCount_, area.size());
    const QColor full = tint_.resolved(), faint = tint_.resolved(0.45);
    // Only bars that reach into a rounded corner need the background's outline as a clip; a path
    // clip makes every fill after it many times dearer, and the sparkline repaints every second.
    const qreal corner = 12 * 1.6;
    const QRectF clear = QRectF(rect()).adjusted(corner, 0, -corner, 0);
    std::vector<std::pair<QRectF, QColor>> clipped;
    for (size_t i = 0; i < shown.size(); ++i) {
        QRectF bar = shown[i].rect;
        if (progress < 1 && i < startHeights_.size()) {
            const qreal height = Transition::mix(startHeights_[i], bar.height(), progress);
            bar.setTop(bar.bottom() - height);
        }
        bar.translate(area.topLeft());
        const QColor& color = shown[i].flat ? faint : full;
        if (clear.contains(bar))
            painter.fillPath(ContinuousShape::roundedRect(bar, std::min(bar.width() / 2, qreal(2))), color);
        else
            clipped.emplace_back(bar, color);
    }
    if (clipped.empty()) return;
    painter.setClipPath(background);
    for (const auto& [bar, color] : clipped) painter.fillPath(ContinuousShape::roundedRect(bar, std::min(bar.width() / 2, qreal(2))), color);
}
