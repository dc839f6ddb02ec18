#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>

class QPainter;

// A symbol and one line of text side by side, the label of buttons, pills and tabs. Either part
// may be empty. The symbol leads: on the left, or on the right in a right-to-left layout.
struct SymbolTextRow {
    QString symbol;
    qreal symbolSize = 13;
    QString text;
    QFont font;
    qreal spacing = 6;

    QSizeF size() const;
    // Draws the row from the leading edge of `box`, eliding the text when the box is too narrow.
    void paint(QPainter& painter, const QRectF& box, const QColor& color, bool rightToLeft) const;
};
