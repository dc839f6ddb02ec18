#include "Views/DesignSystem/FocusRing.h"

#include <QPainter>
#include <QWidget>

void paintFocusRing(QPainter& painter, const QWidget& widget, const QPainterPath& shape, qreal width) {
    if (!widget.hasFocus() || !widget.window()->testAttribute(Qt::WA_KeyboardFocusChange)) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(widget.palette().color(QPalette::Highlight), width));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(shape);
    painter.restore();
}
