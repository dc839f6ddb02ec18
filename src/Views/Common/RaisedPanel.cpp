#include "Views/Common/RaisedPanel.h"

#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/DS.h"

#include <QPainter>
#include <QVBoxLayout>

RaisedPanel::RaisedPanel(int padding, int spacing, QWidget* parent) : QWidget(parent), layout_(new QVBoxLayout(this)) {
    layout_->setContentsMargins(padding, padding, padding, padding);
    layout_->setSpacing(spacing);
}

void RaisedPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(ContinuousShape::roundedRect(QRectF(rect()), 12), DS::raised.resolved());
}
