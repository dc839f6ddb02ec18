#include "Views/Tools/ToolCheckBox.h"

#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/FocusRing.h"

#include <QPainter>

ToolCheckBox::ToolCheckBox(const DynamicColor& tint, QWidget* parent) : QAbstractButton(parent), tint_(tint) {
    setCheckable(true);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void ToolCheckBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled()) painter.setOpacity(0.45);
    const QRectF box = QRectF(0, 0, 16, 16).translated((width() - 16) / 2.0, (height() - 16) / 2.0);
    const QPainterPath shape = ContinuousShape::roundedRect(box, 4.5);
    if (isChecked()) {
        painter.fillPath(shape, tint_.resolved(isDown() ? 0.8 : 1));
        QPainterPath check;
        check.moveTo(box.left() + 4, box.center().y() + 0.5);
        check.lineTo(box.left() + 7, box.bottom() - 4.5);
        check.lineTo(box.right() - 3.8, box.top() + 4.5);
        painter.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(check);
    } else {
        painter.setPen(QPen(DynamicColor::secondary().resolved(0.7), 1.2));
        painter.drawPath(ContinuousShape::roundedRect(box.adjusted(0.6, 0.6, -0.6, -0.6), 4));
    }
    paintFocusRing(painter, *this, ContinuousShape::roundedRect(box.adjusted(-2, -2, 2, 2), 6));
}
