#include "App/MenuBarPanel/PanelCardButton.h"

#include "Views/DesignSystem/ContinuousShape.h"

#include <QBoxLayout>
#include <QPainter>

PanelCardButton::PanelCardButton(Qt::Orientation orientation, const DynamicColor& fill, qreal fillOpacity, qreal radius, QWidget* parent)
    : QAbstractButton(parent), fill_(fill), fillOpacity_(fillOpacity), radius_(radius),
      layout_(new QBoxLayout(orientation == Qt::Horizontal ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom, this)) {
    layout_->setContentsMargins(0, 0, 0, 0);
    setCursor(Qt::PointingHandCursor);
}

void PanelCardButton::addContent(QWidget* widget, int stretch, Qt::Alignment alignment) {
    widget->setAttribute(Qt::WA_TransparentForMouseEvents);
    layout_->addWidget(widget, stretch, alignment);
}

QSize PanelCardButton::sizeHint() const { return layout_->sizeHint(); }
QSize PanelCardButton::minimumSizeHint() const { return layout_->minimumSize(); }

void PanelCardButton::paintEvent(QPaintEvent*) {
    const qreal opacity = fillOpacity_ * (isDown() ? 0.7 : 1.0);
    if (opacity <= 0 || fill_ == DynamicColor::clear()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(ContinuousShape::roundedRect(rect(), radius_), fill_.resolved(opacity));
}
