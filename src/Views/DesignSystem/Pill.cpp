#include "Views/DesignSystem/Pill.h"

#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/SymbolTextRow.h"

#include <QPainter>

#include <cmath>

namespace {

constexpr qreal pillHorizontalPadding = 10, pillVerticalPadding = 5;

SymbolTextRow pillLabelRow(const QString& text, const QString& symbol) { return {symbol, 11, text, Fonts::system(13, QFont::DemiBold), 5}; }

}  // namespace

Pill::Pill(const QString& text, const QString& symbol, const DynamicColor& tint, QWidget* parent)
    : QWidget(parent), text_(text), symbol_(symbol), tint_(tint) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void Pill::setText(const QString& text) {
    if (text == text_) return;
    text_ = text;
    updateGeometry();
    update();
}

void Pill::setSymbol(const QString& symbol) {
    if (symbol == symbol_) return;
    symbol_ = symbol;
    updateGeometry();
    update();
}

void Pill::setTint(const DynamicColor& tint) {
    if (tint == tint_) return;
    tint_ = tint;
    update();
}

QSize Pill::sizeHint() const {
    const QSizeF content = pillLabelRow(text_, symbol_).size();
    return {int(std::ceil(content.width() + 2 * pillHorizontalPadding)), int(std::ceil(content.height() + 2 * pillVerticalPadding))};
}

QSize Pill::minimumSizeHint() const {
    const QSize full = sizeHint();
    const QSizeF symbolOnly = pillLabelRow({}, symbol_).size();
    return {std::min(full.width(), int(std::ceil(symbolOnly.width() + 2 * pillHorizontalPadding + 24))), full.height()};
}

void Pill::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(ContinuousShape::capsule(rect()), tint_.resolved(0.15));
    const QRectF inner = QRectF(rect()).adjusted(pillHorizontalPadding, pillVerticalPadding, -pillHorizontalPadding, -pillVerticalPadding);
    pillLabelRow(text_, symbol_).paint(painter, inner, tint_.resolved(), isRightToLeft());
}
