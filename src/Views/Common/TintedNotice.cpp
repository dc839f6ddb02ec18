#include "Views/Common/TintedNotice.h"

#include "Views/DesignSystem/ContinuousShape.h"

#include <QHBoxLayout>
#include <QPainter>

TintedNotice::TintedNotice(const DynamicColor& tint, int padding, QWidget* parent) : QWidget(parent), tint_(tint), layout_(new QHBoxLayout(this)) {
    layout_->setContentsMargins(padding, padding, padding, padding);
    layout_->setSpacing(10);
}

void TintedNotice::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(ContinuousShape::roundedRect(QRectF(rect()), 12), tint_.resolved(0.12));
}
