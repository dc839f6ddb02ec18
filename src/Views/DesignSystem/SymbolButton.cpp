#include "Views/DesignSystem/SymbolButton.h"

#include "Views/DesignSystem/Symbols.h"

#include <QPainter>

#include <cmath>

SymbolButton::SymbolButton(const QString& symbol, qreal size, const DynamicColor& color, QWidget* parent)
    : QAbstractButton(parent), symbol_(symbol), size_(size), color_(color) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFocusPolicy(Qt::TabFocus);
}

void SymbolButton::setSymbol(const QString& symbol) {
    symbol_ = symbol;
    update();
}

void SymbolButton::setColor(const DynamicColor& color, qreal opacity) {
    color_ = color;
    opacity_ = opacity;
    update();
}

void SymbolButton::setFrameSize(const QSize& size) {
    frameSize_ = size;
    updateGeometry();
}

void SymbolButton::setMirroredInRightToLeft(bool mirrored) {
    mirroredInRightToLeft_ = mirrored;
    update();
}

QSize SymbolButton::sizeHint() const {
    if (frameSize_.isValid()) return frameSize_;
    const int side = int(std::ceil(Symbols::glyphSize(size_)));
    return {side, side};
}

void SymbolButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!isEnabled()) painter.setOpacity(0.45);
    else if (isDown()) painter.setOpacity(0.6);
    Symbols::paint(painter, rect(), symbol_, size_, color_.resolved(opacity_), mirroredInRightToLeft_ && isRightToLeft());
    if (hasFocus()) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 5, 5);
    }
}
