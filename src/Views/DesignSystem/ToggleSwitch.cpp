#include "Views/DesignSystem/ToggleSwitch.h"

#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/FocusRing.h"
#include "Views/DesignSystem/Mirroring.h"
#include "Views/DesignSystem/Transition.h"

#include <QPainter>

ToggleSwitch::ToggleSwitch(const DynamicColor& tint, QWidget* parent)
    : QAbstractButton(parent), tint_(tint), transition_(new Transition(this, 200, QEasingCurve::OutCubic)) {
    setCheckable(true);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void ToggleSwitch::setTint(const DynamicColor& tint) {
    tint_ = tint;
    update();
}

void ToggleSwitch::checkStateSet() {
    // The knob sets off from where it is drawn now, also in the middle of a slide.
    const qreal target = isChecked() ? 0 : 1;  // the state it is leaving
    startPosition_ = Transition::mix(startPosition_, target, transition_->progress());
    transition_->start();
}

void ToggleSwitch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled()) painter.setOpacity(0.45);
    const QRectF track = QRectF(0, 0, 38, 22).translated((width() - 38) / 2.0, (height() - 22) / 2.0);
    const qreal position = Transition::mix(startPosition_, isChecked() ? 1 : 0, transition_->progress());
    const QColor off = DS::track.resolved(isDown() ? 2.6 : 2), on = tint_.resolved(isDown() ? 0.85 : 1);
    painter.fillPath(ContinuousShape::capsule(track), off);
    painter.save();
    painter.setOpacity(painter.opacity() * position);
    painter.fillPath(ContinuousShape::capsule(track), on);
    painter.restore();
    paintFocusRing(painter, *this, ContinuousShape::capsule(track.adjusted(0.75, 0.75, -0.75, -0.75)));
    const qreal knob = track.height() - 4;
    QRectF knobRect(track.left() + 2 + position * (track.width() - 4 - knob), track.top() + 2, knob, knob);
    if (isRightToLeft()) knobRect = mirroredIn(knobRect, track);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 40));
    painter.drawEllipse(knobRect.translated(0, 0.6));
    painter.setBrush(Qt::white);
    painter.drawEllipse(knobRect);
}
