#pragma once

#include "Views/DesignSystem/DynamicColor.h"

#include <QAbstractButton>

class Transition;

// An on/off switch, the desktop's standard control where a setting is switched: a capsule in the
// tint when on (DS.track when off) with a white knob that slides to the trailing end when on.
// Checkable; toggled() reports the new state.
class ToggleSwitch : public QAbstractButton {
    Q_OBJECT
public:
    explicit ToggleSwitch(const DynamicColor& tint, QWidget* parent = nullptr);

    void setTint(const DynamicColor& tint);

    QSize sizeHint() const override { return {38, 22}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void checkStateSet() override;

private:
    DynamicColor tint_;
    qreal startPosition_ = 0;  // knob position (0 off, 1 on) when the running slide began
    Transition* transition_;
};
