#pragma once

#include "Views/DesignSystem/DynamicColor.h"

#include <QRectF>
#include <QSize>
#include <QString>

class QPainter;

// What a symbol widget shows: which symbol, at which size, in which colour, and whether it turns
// round in a right-to-left layout (symbols that point along the reading direction, where a screen
// asks for it). Build it with designated initialisers: {.symbol = "folder", .size = 26}.
struct SymbolImage {
    QString symbol;
    qreal size = 13;
    DynamicColor color = DynamicColor::primary();
    qreal opacity = 1;
    bool mirroredInRightToLeft = false;

    QSize glyphBox() const;
    void paint(QPainter& painter, const QRectF& box, bool rightToLeft) const;
};
