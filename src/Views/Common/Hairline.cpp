#include "Views/Common/Hairline.h"

#include "Views/DesignSystem/DS.h"

#include <QPainter>

Hairline::Hairline(QWidget* parent) : QWidget(parent) {
    setFixedHeight(1);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void Hairline::paintEvent(QPaintEvent*) { QPainter(this).fillRect(rect(), DS::hairline.resolved()); }
