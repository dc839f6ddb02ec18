#include "Views/Search/MenuPillLabel.h"

#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/SymbolTextRow.h"
#include "Views/DesignSystem/Symbols.h"

#include <QPainter>

#include <cmath>

namespace {

constexpr qreal menuPillPadding = 12, pillHeight = 30, menuPillSpacing = 7, chevronSize = 9;

SymbolTextRow menuPillLabelRow(const QString& symbol, const QString& title) { return {symbol, 12, title, Fonts::system(13, QFont::Medium), menuPillSpacing}; }

}  // namespace

MenuPillLabel::MenuPillLabel(const QString& symbol, const QString& title, const DynamicColor& tint, QWidget* parent)
    : QAbstractButton(parent), symbol_(symbol), tint_(tint) {
    setText(title);
    setAccessibleName(title);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void MenuPillLabel::setContent(const QString& symbol, const QString& title) {
    symbol_ = symbol;
    setText(title);
    setAccessibleName(title);
    updateGeometry();
    update();
}

QSize MenuPillLabel::sizeHint() const {
    const qreal width = menuPillLabelRow(symbol_, text()).size().width() + menuPillSpacing + Symbols::glyphSize(chevronSize);
    return {int(std::ceil(width + 2 * menuPillPadding)), int(pillHeight)};
}

void MenuPillLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(ContinuousShape::capsule(rect()), DS::track.resolved(isDown() ? 1.6 : 1));
    const QRectF inner = QRectF(rect()).adjusted(menuPillPadding, 0, -menuPillPadding, 0);
    const qreal chevron = Symbols::glyphSize(chevronSize);
    QRectF labelBox = inner.adjusted(0, 0, -(chevron + menuPillSpacing), 0);
    QRectF chevronBox(inner.right() - chevron, inner.center().y() - chevron / 2, chevron, chevron);
    if (isRightToLeft()) {
        labelBox.moveRight(inner.right());
        chevronBox.moveLeft(inner.left());
    }
    menuPillLabelRow(symbol_, text()).paint(painter, labelBox, tint_.resolved(), isRightToLeft());
    // The chevron is a bold glyph in the secondary colour.
    Symbols::paint(painter, chevronBox, QStringLiteral("chevron.down"), chevronSize, DynamicColor::secondary().resolved());
}
