#include "Views/DesignSystem/BrandMark.h"

#include <QPainter>
#include <QSvgRenderer>

#include <cmath>

BrandMark::BrandMark(qreal size, QWidget* parent) : QWidget(parent), size_(size) { setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed); }

QSize BrandMark::sizeHint() const {
    const int side = int(std::lround(size_));
    return {side, side};
}

void BrandMark::paint(QPainter& painter, const QRectF& box) {
    static QSvgRenderer renderer(QStringLiteral(":/brand/BrandMark.svg"));
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    renderer.render(&painter, box);
    painter.restore();
}

void BrandMark::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const qreal side = std::min(width(), height());
    paint(painter, QRectF((width() - side) / 2, (height() - side) / 2, side, side));
}
