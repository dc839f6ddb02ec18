#include "Views/Storage/TreemapTileFace.h"

#include "Models/ByteFormatting.h"
#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fmt.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/Common/TextLines.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>

#include <algorithm>

namespace {
QColor withAlpha(QColor color, double alpha) {
    color.setAlphaF(float(std::clamp(alpha, 0.0, 1.0)));
    return color;
}
}  // namespace

void TreemapTileFace::paint(QPainter& painter, const QRectF& frame, Qt::LayoutDirection direction) const {
    if (frame.width() <= 0 || frame.height() <= 0) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath shape = ContinuousShape::roundedRect(frame, 10);
    painter.setClipPath(shape);
    painter.fillPath(shape, DS::card.resolved());

    const double a = selected ? 0.3 : std::min(share * 0.25, 0.1) + 0.12;
    QLinearGradient gradient(frame.topLeft(), frame.bottomLeft());
    gradient.setColorAt(0, withAlpha(color, a));
    gradient.setColorAt(1, withAlpha(color, a * 0.35));
    painter.fillPath(shape, gradient);
    painter.fillRect(QRectF(frame.left(), frame.top(), frame.width(), 3), color);

    if (showsLabels()) {
        const bool rtl = direction == Qt::RightToLeft;
        const qreal width = frame.width() - 20;
        const QPointF start(rtl ? frame.right() - 10 : frame.left() + 10, frame.top() + 12);
        qreal y = start.y();
        painter.setPen(DynamicColor::primary().resolved());
        y += paintTextLines(painter, QPointF(start.x(), y), width, name,
                            Fonts::system(isLarge() ? 15 : 12, QFont::DemiBold), nameLines(), direction);
        y += 3;
        painter.setPen(color);
        y += paintTextLines(painter, QPointF(start.x(), y), width, ByteFormatting::string(bytes),
                            Fonts::system(isLarge() ? 22 : 12, QFont::Bold), 1, direction);
        if (showsShare()) {
            y += 3;
            painter.setPen(DynamicColor::secondary().resolved());
            paintTextLines(painter, QPointF(start.x(), y), width, share < 0.01 ? Fmt::finePercent(share) : Fmt::percent(share),
                           Fonts::system(11, QFont::Medium), 1, direction);
        }
    }
    painter.setClipping(false);
    const qreal line = selected ? 2 : 1;
    painter.setPen(QPen(withAlpha(color, selected ? 1 : 0.28), line));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(ContinuousShape::roundedRect(frame.adjusted(line / 2, line / 2, -line / 2, -line / 2), 10 - line / 2));
    painter.restore();
}
