#include "Views/DesignSystem/SymbolTextRow.h"

#include "Views/DesignSystem/Mirroring.h"
#include "Views/DesignSystem/Symbols.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextOption>

#include <algorithm>

namespace {

qreal symbolWidth(const SymbolTextRow& row) { return row.symbol.isEmpty() ? 0 : Symbols::glyphSize(row.symbolSize); }
qreal gapWidth(const SymbolTextRow& row) { return row.symbol.isEmpty() || row.text.isEmpty() ? 0 : row.spacing; }

}  // namespace

QSizeF SymbolTextRow::size() const {
    const QFontMetricsF metrics(font);
    const qreal textWidth = text.isEmpty() ? 0 : metrics.horizontalAdvance(text);
    return {symbolWidth(*this) + gapWidth(*this) + textWidth, std::max(text.isEmpty() ? 0 : metrics.height(), symbolWidth(*this))};
}

void SymbolTextRow::paint(QPainter& painter, const QRectF& box, const QColor& color, bool rightToLeft) const {
    const qreal leading = symbolWidth(*this) + gapWidth(*this);
    QRectF symbolBox(box.left(), box.top(), symbolWidth(*this), box.height());
    QRectF textBox(box.left() + leading, box.top(), std::max(box.width() - leading, qreal(0)), box.height());
    if (rightToLeft) {
        symbolBox = mirroredIn(symbolBox, box);
        textBox = mirroredIn(textBox, box);
    }
    if (!symbol.isEmpty()) Symbols::paint(painter, symbolBox, symbol, symbolSize, color);
    if (text.isEmpty()) return;
    painter.save();
    painter.setPen(color);
    painter.setFont(font);
    // Aligned to the row's leading side; read in the direction of the text itself.
    QTextOption option(Qt::AlignVCenter | (rightToLeft ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignAbsolute);
    option.setTextDirection(text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
    option.setWrapMode(QTextOption::NoWrap);
    painter.drawText(textBox, QFontMetricsF(font).elidedText(text, Qt::ElideRight, textBox.width() + 0.5), option);
    painter.restore();
}
