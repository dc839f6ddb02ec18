#include "Views/DesignSystem/IconBadge.h"

#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/Symbols.h"

#include <QPainter>

#include <cmath>

IconBadge::IconBadge(const QString& symbol, const DynamicColor& tint, qreal size, QWidget* parent)
    : QWidget(parent), symbol_(symbol), tint_(tint), size_(size) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void IconBadge::setSymbol(const QString& symbol) {
    symbol_ = symbol;
    update();
}

void IconBadge::setTint(const DynamicColor& tint) {
    tint_ = tint;
    update();
}

QSize IconBadge::sizeHint() const {
    const int side = int(std::lround(size_));
    return {side, side};
}

void IconBadge::paint(QPainter& painter, const QRectF& box, const QString& symbol, const DynamicColor& tint) {
    const qreal size = std::min(box.width(), box.height());
    const QRectF square(box.center().x() - size / 2, box.center().y() - size / 2, size, size);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(ContinuousShape::roundedRect(square, size * 0.28), tint.resolved(0.16));
    Symbols::paint(painter, square, symbol, size * 0.5, tint.resolved());
    painter.restore();
}

void IconBadge::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paint(painter, rect(), symbol_, tint_);
}
