#include "Views/DesignSystem/IconImageView.h"

#include <QPainter>

#include <cmath>

IconImageView::IconImageView(const QIcon& icon, qreal side, QWidget* parent) : QWidget(parent), icon_(icon), side_(side) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void IconImageView::setIcon(const QIcon& icon) {
    if (icon.cacheKey() == icon_.cacheKey()) return;
    icon_ = icon;
    update();
}

QSize IconImageView::sizeHint() const {
    const int side = int(std::lround(side_));
    return {side, side};
}

void IconImageView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    icon_.paint(&painter, rect(), Qt::AlignCenter);
}
