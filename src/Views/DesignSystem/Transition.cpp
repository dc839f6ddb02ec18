#include "Views/DesignSystem/Transition.h"

#include <QWidget>

#include <cmath>

namespace {

// Step response of a damped spring, time scaled so the curve ends where the spring has settled.
qreal springStep(qreal t) {
    constexpr qreal response = 0.32, damping = 0.86, seconds = Transition::springDurationMs / 1000.0;
    if (t >= 1) return 1;
    const qreal omega = 2 * M_PI / response;
    const qreal decay = damping * omega;
    const qreal ringing = omega * std::sqrt(1 - damping * damping);
    const qreal time = t * seconds;
    return 1 - std::exp(-decay * time) * (std::cos(ringing * time) + decay / ringing * std::sin(ringing * time));
}

}  // namespace

Transition::Transition(QWidget* owner, int durationMs, const QEasingCurve& curve) : QObject(owner), owner_(owner), animation_(this) {
    animation_.setStartValue(0.0);
    animation_.setEndValue(1.0);
    animation_.setDuration(durationMs);
    animation_.setEasingCurve(curve);
    connect(&animation_, &QVariantAnimation::valueChanged, this, &Transition::step);
    connect(&animation_, &QAbstractAnimation::finished, this, &Transition::finished);
}

Transition::Transition(QWidget* owner, int durationMs) : Transition(owner, durationMs, Ease::out()) {}

void Transition::step() {
    if (!owner_) return;
    if (step_)
        step_();
    else
        owner_->update();
}

void Transition::start() {
    animation_.stop();
    // Nothing of the owner on screen (hidden, or scrolled away): no frames to draw.
    const QWidget* shown = shownWith_ ? shownWith_.data() : owner_.data();
    if (!owner_ || !shown || !shown->isVisible() || shown->visibleRegion().isEmpty()) {
        animation_.setCurrentTime(animation_.duration());
        step();
        emit finished();
        return;
    }
    animation_.start();
}

qreal Transition::progress() const {
    if (animation_.state() != QAbstractAnimation::Running) return 1;
    return animation_.currentValue().toReal();
}

QEasingCurve Transition::spring() {
    QEasingCurve curve;
    curve.setCustomType(springStep);
    return curve;
}
