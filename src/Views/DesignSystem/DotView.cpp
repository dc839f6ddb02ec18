#include "Views/DesignSystem/DotView.h"

#include <QPainter>

#include <cmath>

DotView::DotView(const DynamicColor& color, qreal diameter, QWidget* parent) : QWidget(parent), color_(color), diameter_(diameter) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void DotView::setColor(const DynamicColor& color) {
    if (color == color_) return;
    color_ = color;
    update();
}

QSize DotView::sizeHint() const {
    const int side = int(std::ceil(diameter_));
    return {side, side};
}

void DotView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color_.resolved());
    painter.drawEllipse(QRectF(rect()).center(), diameter_ / 2, diameter_ / 2);
}
