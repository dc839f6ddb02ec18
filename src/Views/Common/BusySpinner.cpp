#include "Views/Common/BusySpinner.h"

#include <QPainter>

#include <cmath>

namespace {
constexpr int ticks = 8;
}

BusySpinner::BusySpinner(ControlSize size, const DynamicColor& color, QWidget* parent)
    : QWidget(parent), size_(size), side_(ControlSizes::spinnerSide(size)), color_(color) {
    setFixedSize(sizeHint());
    timer_.setInterval(90);
    connect(&timer_, &QTimer::timeout, this, [this] {
        step_ = (step_ + 1) % ticks;
        update();
    });
}

void BusySpinner::showEvent(QShowEvent*) { timer_.start(); }
void BusySpinner::hideEvent(QHideEvent*) { timer_.stop(); }

void BusySpinner::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(width() / 2.0, height() / 2.0);
    const qreal radius = std::min(width(), height()) / 2.0;
    for (int i = 0; i < ticks; ++i) {
        const double age = double((step_ - i + ticks) % ticks) / ticks;  // 0 for the leading tick
        painter.setPen(QPen(color_.resolved(1 - 0.8 * age), side_ >= 16 ? 2 : 1.5, Qt::SolidLine, Qt::RoundCap));
        const double angle = 2 * M_PI * i / ticks;
        painter.drawLine(QPointF(std::sin(angle) * radius * 0.45, -std::cos(angle) * radius * 0.45),
                         QPointF(std::sin(angle) * radius * 0.9, -std::cos(angle) * radius * 0.9));
    }
}
