#include "App/MenuBarPanel/PanelButton.h"

#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/SymbolTextRow.h"

#include <QPainter>

#include <cmath>

namespace {
SymbolTextRow buttonLabelRow(const QString& text, const QString& symbol) { return {symbol, 13, text, Fonts::system(13, QFont::Medium), 6}; }
}  // namespace

PanelButton::PanelButton(const QString& text, const QString& symbol, QWidget* parent) : QAbstractButton(parent), symbol_(symbol) {
    setText(text);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize PanelButton::sizeHint() const { return {int(std::ceil(buttonLabelRow(text(), symbol_).size().width() + 28)), 38}; }

void PanelButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    ContinuousShape::paintSurface(painter, rect(), 12, DS::card.resolved(isDown() ? 0.7 : 1.0), DS::hairline.resolved());
    const SymbolTextRow row = buttonLabelRow(text(), symbol_);
    const QSizeF size = row.size();
    const QRectF box((width() - size.width()) / 2, (height() - size.height()) / 2, size.width(), size.height());
    row.paint(painter, box, DynamicColor::primary().resolved(), isRightToLeft());
}
