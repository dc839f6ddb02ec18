#include "Views/DesignSystem/SymbolView.h"

#include "Views/DesignSystem/Symbols.h"

#include <QPainter>

#include <cmath>

SymbolView::SymbolView(const QString& symbol, qreal size, const DynamicColor& color, QWidget* parent)
    : QWidget(parent), symbol_(symbol), size_(size), color_(color) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void SymbolView::setSymbol(const QString& symbol) {
    symbol_ = symbol;
    update();
}

void SymbolView::setColor(const DynamicColor& color, qreal opacity) {
    color_ = color;
    opacity_ = opacity;
    update();
}

void SymbolView::setMirroredInRightToLeft(bool mirrored) {
    mirroredInRightToLeft_ = mirrored;
    update();
}

QSize SymbolView::sizeHint() const {
    const int side = int(std::ceil(Symbols::glyphSize(size_)));
    return {side, side};
}

void SymbolView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    Symbols::paint(painter, rect(), symbol_, size_, color_.resolved(opacity_), mirroredInRightToLeft_ && isRightToLeft());
}
