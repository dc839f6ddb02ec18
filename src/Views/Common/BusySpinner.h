#pragma once

#include "Views/DesignSystem/ControlSize.h"
#include "Views/DesignSystem/DynamicColor.h"

#include <QTimer>
#include <QWidget>

// An indeterminate spinner of a named control size, small unless told: a ring of fading ticks
// turning while shown.
class BusySpinner : public QWidget {
    Q_OBJECT
public:
    explicit BusySpinner(QWidget* parent = nullptr) : BusySpinner(ControlSize::small, DynamicColor::secondary(), parent) {}
    BusySpinner(ControlSize size, const DynamicColor& color, QWidget* parent = nullptr);
    QSize sizeHint() const override { return QSize(side_, side_); }
    ControlSize controlSize() const { return size_; }

protected:
    void paintEvent(QPaintEvent*) override;
    void showEvent(QShowEvent*) override;
    void hideEvent(QHideEvent*) override;

private:
    ControlSize size_;
    int side_;
    DynamicColor color_;
    QTimer timer_;
    int step_ = 0;
};
