#include "Views/DesignSystem/ThinBar.h"

#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/Mirroring.h"
#include "Views/DesignSystem/Transition.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

double clampedFraction(double fraction) { return std::isnan(fraction) ? 0 : std::clamp(fraction, 0.0, 1.0); }

}  // namespace

ThinBar::ThinBar(double fraction, const DynamicColor& tint, qreal height, QWidget* parent)
    : QWidget(parent), fraction_(fraction), tint_(tint), height_(height), transition_(new Transition(this, 350, QEasingCurve::OutCubic)) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFixedHeight(int(std::ceil(height)));
}

qreal ThinBar::fillWidth(double fraction, qreal width, qreal height) { return std::max(height, width * clampedFraction(fraction)); }

void ThinBar::setFraction(double fraction) {
    if (fraction == fraction_) return;
    startFraction_ = Transition::mix(clampedFraction(startFraction_), clampedFraction(fraction_), transition_->progress());
    fraction_ = fraction;
    transition_->start();
}

void ThinBar::setTint(const DynamicColor& tint) {
    tint_ = tint;
    update();
}

QSize ThinBar::sizeHint() const { return {120, int(std::ceil(height_))}; }

void ThinBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF track(0, (height() - height_) / 2, width(), height_);
    painter.fillPath(ContinuousShape::capsule(track), tint_.resolved(0.18));
    const double shown = Transition::mix(clampedFraction(startFraction_), clampedFraction(fraction_), transition_->progress());
    QRectF fill(track.left(), track.top(), fillWidth(shown, track.width(), height_), height_);
    if (isRightToLeft()) fill = mirroredIn(fill, track);
    painter.fillPath(ContinuousShape::capsule(fill), tint_.resolved());
}
