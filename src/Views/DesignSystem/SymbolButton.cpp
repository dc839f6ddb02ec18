#include "Views/DesignSystem/SymbolButton.h"

#include "Views/DesignSystem/FocusRing.h"

#include <QPainter>

SymbolButton::SymbolButton(const SymbolImage& image, QWidget* parent) : QAbstractButton(parent), image_(image) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFocusPolicy(Qt::TabFocus);
}

void SymbolButton::setImage(const SymbolImage& image) {
    image_ = image;
    updateGeometry();
    update();
}

void SymbolButton::setFrameSize(const QSize& size) {
    frameSize_ = size;
    updateGeometry();
}

void SymbolButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!isEnabled()) painter.setOpacity(0.45);
    else if (isDown()) painter.setOpacity(0.6);
    image_.paint(painter, rect(), isRightToLeft());
    QPainterPath ring;
    ring.addRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 5, 5);
    paintFocusRing(painter, *this, ring);
}
