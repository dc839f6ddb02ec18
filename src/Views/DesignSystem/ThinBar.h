#pragma once

#include "Views/DesignSystem/DynamicColor.h"

#include <QWidget>

class Transition;

// A capsule bar of a fraction: the track in the tint at 18 %, the fill in the tint from the
// leading edge, never narrower than the bar is high (so 0 still shows a dot) and never past the
// end. `height` high, as wide as offered; changes ease over 0.35 s.
class ThinBar : public QWidget {
    Q_OBJECT
public:
    ThinBar(double fraction, const DynamicColor& tint, qreal height, QWidget* parent = nullptr);

    void setFraction(double fraction);
    double fraction() const { return fraction_; }  // where the bar is going
    void setTint(const DynamicColor& tint);

    static qreal fillWidth(double fraction, qreal width, qreal height);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double fraction_;
    double startFraction_ = 0;  // where the running transition began
    DynamicColor tint_;
    qreal height_;
    Transition* transition_;
};
