#include "Views/DesignSystem/CardModifier.h"

#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/DS.h"

#include <QPainter>
#include <QVBoxLayout>

#include <cmath>

CardModifier::CardModifier(qreal padding, qreal radius, QWidget* parent) : QWidget(parent), radius_(radius), layout_(new QVBoxLayout(this)) {
    const int inset = int(std::lround(padding));
    layout_->setContentsMargins(inset, inset, inset, inset);
    layout_->setSpacing(0);
    layout_->setAlignment(Qt::AlignTop);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void CardModifier::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    ContinuousShape::paintSurface(painter, rect(), radius_, DS::card.resolved(), DS::hairline.resolved());
}

CardModifier* card(QWidget* content, qreal padding, qreal radius) {
    auto* surface = new CardModifier(padding, radius);
    surface->contentLayout()->addWidget(content);
    return surface;
}
