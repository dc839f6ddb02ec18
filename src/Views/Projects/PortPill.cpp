#include "Views/Projects/PortPill.h"

#include "Views/DesignSystem/DS.h"

PortPill::PortPill(int port, QWidget* parent) : Pill(QString::number(port), {}, DS::orange, parent), port_(port) {
    setLayoutDirection(Qt::LeftToRight);
}
