#pragma once

#include "Views/DesignSystem/DynamicColor.h"

#include <QTimer>
#include <QWidget>

// An indeterminate spinner, small unless told: a ring of fading ticks turning while shown.
class BusySpinner : public QWidget {
    Q_OBJECT
public:
    static constexpr int smallSide = 18, regularSide = 32;

    explicit BusySpinner(QWidget* parent = nullptr) : BusySpinner(smallSide, DynamicColor::secondary(), parent) {}
    BusySpinner(int side, const DynamicColor& color, QWidget* parent = nullptr);
    QSize sizeHint() const override { return QSize(side_, side_); }

protected:
    void paintEvent(QPaintEvent*) override;
    void showEvent(QShowEvent*) override;
    void hideEvent(QHideEvent*) override;

private:
    int side_;
    DynamicColor color_;
    QTimer timer_;
    int step_ = 0;
};
