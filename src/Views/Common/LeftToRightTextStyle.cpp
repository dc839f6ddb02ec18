#include "Views/Common/LeftToRightTextStyle.h"

#include <QApplication>
#include <QWidget>

LeftToRightTextStyle::LeftToRightTextStyle(QWidget* owner) : QProxyStyle(QApplication::style()->name()) {
    setParent(owner);
    owner->setLayoutDirection(Qt::LeftToRight);
    owner->setStyle(this);
}

void LeftToRightTextStyle::drawItemText(QPainter* painter, const QRect& rect, int flags, const QPalette& palette, bool enabled,
                                        const QString& text, QPalette::ColorRole textRole) const {
    QProxyStyle::drawItemText(painter, rect, flags | Qt::TextForceLeftToRight, palette, enabled, text, textRole);
}
