#include "Views/DesignSystem/StyledButton.h"

#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/FocusRing.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/SymbolTextRow.h"

#include <QEvent>
#include <QPainter>

#include <cmath>

namespace {

struct Metrics {
    QFont font;
    qreal horizontalPadding;
    qreal verticalPadding;
};

Metrics metricsOf(const ButtonStyle& style) {
    if (std::holds_alternative<TintedButtonStyle>(style)) return {Fonts::system(13, QFont::DemiBold), 16, 8};
    return {Fonts::system(13, QFont::Medium), 14, 7};
}

}  // namespace

StyledButton::StyledButton(const QString& text, const QString& symbol, const ButtonStyle& style, QWidget* parent)
    : QAbstractButton(parent), symbol_(symbol), style_(style) {
    setText(text);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

SymbolTextRow StyledButton::label() const { return {symbol_, 13, text(), metricsOf(style_).font, 6}; }

void StyledButton::setSymbol(const QString& symbol) {
    symbol_ = symbol;
    updateGeometry();
    update();
}

void StyledButton::setButtonStyle(const ButtonStyle& style) {
    style_ = style;
    updateGeometry();
    update();
}

QSize StyledButton::sizeHint() const {
    const Metrics m = metricsOf(style_);
    const QSizeF content = label().size();
    return {int(std::ceil(content.width() + 2 * m.horizontalPadding)), int(std::ceil(content.height() + 2 * m.verticalPadding))};
}

QSize StyledButton::minimumSizeHint() const { return sizeHint(); }

bool StyledButton::hitButton(const QPoint& position) const { return ContinuousShape::capsule(rect()).contains(position); }

void StyledButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) update();
    QAbstractButton::changeEvent(event);
}

void StyledButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled()) painter.setOpacity(0.45);
    const bool pressed = isDown();
    const QPainterPath capsule = ContinuousShape::capsule(rect());
    QColor ink;
    if (const auto* tinted = std::get_if<TintedButtonStyle>(&style_)) {
        painter.fillPath(capsule, tinted->tint.resolved(pressed ? 0.8 : 1));
        ink = DynamicColor::white().resolved();
    } else {
        painter.fillPath(capsule, DS::track.resolved(pressed ? 1.6 : 1));
        ink = std::get<SoftButtonStyle>(style_).tint.resolved();
    }
    paintFocusRing(painter, *this, ContinuousShape::capsule(QRectF(rect()).adjusted(1, 1, -1, -1)), 2);
    // The label, centred in the padded capsule.
    const qreal padding = metricsOf(style_).horizontalPadding;
    const SymbolTextRow row = label();
    const qreal contentWidth = std::min(row.size().width(), width() - 2 * padding);
    row.paint(painter, QRectF((width() - contentWidth) / 2, 0, contentWidth, height()), ink, isRightToLeft());
}
