#include "Views/Common/TextLines.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

qreal paintTextLines(QPainter& painter, const QPointF& topLeading, qreal width, const QString& text, const QFont& font,
                     int maxLines, Qt::LayoutDirection direction, Qt::TextElideMode elide) {
    if (width <= 0 || maxLines <= 0) return 0;
    const QFontMetricsF metrics(font);
    QString flat = text;
    flat.replace(QLatin1Char('\n'), QLatin1Char(' '));
    QStringList lines;
    if (maxLines == 1) {
        lines << metrics.elidedText(flat, elide, width);
    } else {
        QTextLayout layout(flat, font);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        option.setTextDirection(flat.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
        layout.setTextOption(option);
        layout.beginLayout();
        for (;;) {
            QTextLine line = layout.createLine();
            if (!line.isValid()) break;
            line.setLineWidth(width);
            if (lines.size() + 1 == maxLines) {
                lines << metrics.elidedText(flat.mid(line.textStart()), elide, width);
                break;
            }
            lines << flat.mid(line.textStart(), line.textLength()).trimmed();
        }
        layout.endLayout();
    }
    painter.save();
    painter.setFont(font);
    // Lines sit at the layout's leading edge but read in their own direction: ".cache" stays ".cache".
    painter.setLayoutDirection(flat.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
    qreal y = topLeading.y();
    const Qt::Alignment align = Qt::AlignAbsolute | (direction == Qt::RightToLeft ? Qt::AlignRight : Qt::AlignLeft);
    for (const QString& line : lines) {
        const QRectF box = direction == Qt::RightToLeft ? QRectF(topLeading.x() - width, y, width, metrics.height())
                                                        : QRectF(topLeading.x(), y, width, metrics.height());
        painter.drawText(box, int(align | Qt::AlignVCenter) | Qt::TextSingleLine, line);
        y += metrics.height();
    }
    painter.restore();
    return y - topLeading.y();
}
