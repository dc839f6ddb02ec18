#include "Views/Tools/ToolsRailRow.h"

#include "Models/AppLocalization.h"
#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/FocusRing.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/IconBadge.h"
#include "Views/DesignSystem/Mirroring.h"
#include "Views/Tools/ValueToolPresentation.h"

#include <QLocale>
#include <QPainter>

namespace {

QFont titleFont() { return Fonts::system(14, QFont::DemiBold); }
QFont detailFont() { return Fonts::system(12); }
QFont badgeFont() { return Fonts::monospaced(11, QFont::Bold); }

}  // namespace

ToolsRailRow::ToolsRailRow(ValueTool tool, QWidget* parent) : QAbstractButton(parent), tool_(tool) {
    setCheckable(true);
    setAutoExclusive(false);
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAccessibleName(AppLocalization::string(ValueToolPresentation::titleKey(tool)));
    // Pressing the selected row keeps it selected.
    connect(this, &QAbstractButton::clicked, this, [this] { setChecked(true); });
}

void ToolsRailRow::setSelected(bool selected) {
    setChecked(selected);
    update();
}

void ToolsRailRow::setCount(std::optional<int> count) {
    badge_ = count ? std::optional(AppLocalization::activeLocale().toString(*count)) : std::nullopt;
    update();
}

QSize ToolsRailRow::sizeHint() const { return {248, 9 + 32 + 9}; }

QRectF ToolsRailRow::badgeCapsule(const QRectF& inner) const {
    if (!badge_) return {};
    const qreal textWidth = QFontMetricsF(badgeFont()).horizontalAdvance(*badge_);
    return {inner.right() - textWidth - 14, inner.center().y() - 9, textWidth + 14, 18};
}

qreal ToolsRailRow::textWidth(const QRectF& inner) const {
    const qreal trailing = badge_ ? badgeCapsule(inner).left() - 4 : inner.right();
    return std::max<qreal>(trailing - (inner.left() + 32 + 12), 0);
}

bool ToolsRailRow::isCut() const {
    const qreal room = textWidth(QRectF(rect()).adjusted(10, 9, -10, -9));
    auto cut = [room](const QFont& font, const QString& text) { return QFontMetricsF(font).elidedText(text, Qt::ElideRight, room) != text; };
    return cut(titleFont(), AppLocalization::string(ValueToolPresentation::titleKey(tool_))) ||
           cut(detailFont(), AppLocalization::string(ValueToolPresentation::detailKey(tool_)));
}

void ToolsRailRow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const DynamicColor tint = ValueToolPresentation::tint(tool_);
    const bool selected = isChecked();
    const QRectF bounds = rect();
    const QPainterPath shape = ContinuousShape::roundedRect(bounds, 12);
    if (selected) painter.fillPath(shape, tint.resolved(0.15));
    else if (hovering_) painter.fillPath(shape, DS::raised.resolved());
    paintFocusRing(painter, *this, shape);

    const bool rtl = isRightToLeft();
    auto place = [&](const QRectF& box) { return rtl ? mirroredIn(box, bounds) : box; };
    const QRectF inner = bounds.adjusted(10, 9, -10, -9);
    IconBadge::paint(painter, place(QRectF(inner.left(), inner.center().y() - 16, 32, 32)), ValueToolPresentation::symbol(tool_), tint);

    if (badge_) {
        const QRectF capsule = badgeCapsule(inner);
        painter.fillPath(ContinuousShape::capsule(place(capsule)), selected ? tint.resolved(0.18) : DS::track.resolved());
        painter.setFont(badgeFont());
        painter.setPen(selected ? tint.resolved() : DynamicColor::secondary().resolved());
        painter.drawText(place(capsule), Qt::AlignCenter, *badge_);
    }

    const qreal textLeft = inner.left() + 32 + 12;
    const qreal textWidth = this->textWidth(inner);
    const QFontMetricsF titleMetrics(titleFont()), detailMetrics(detailFont());
    const qreal textHeight = titleMetrics.height() + 2 + detailMetrics.height();
    const qreal top = inner.center().y() - textHeight / 2;
    const Qt::Alignment align = Qt::AlignVCenter | (rtl ? Qt::AlignRight : Qt::AlignLeft);
    const QString title = AppLocalization::string(ValueToolPresentation::titleKey(tool_));
    const QString detail = AppLocalization::string(ValueToolPresentation::detailKey(tool_));
    painter.setFont(titleFont());
    painter.setPen(selected ? tint.resolved() : DynamicColor::primary().resolved());
    painter.drawText(place(QRectF(textLeft, top, textWidth, titleMetrics.height())), align,
                     titleMetrics.elidedText(title, Qt::ElideRight, textWidth));
    painter.setFont(detailFont());
    painter.setPen(DynamicColor::secondary().resolved());
    painter.drawText(place(QRectF(textLeft, top + titleMetrics.height() + 2, textWidth, detailMetrics.height())), align,
                     detailMetrics.elidedText(detail, Qt::ElideRight, textWidth));
}

void ToolsRailRow::enterEvent(QEnterEvent*) {
    hovering_ = true;
    update();
}

void ToolsRailRow::leaveEvent(QEvent*) {
    hovering_ = false;
    update();
}
