#include "Views/DesignSystem/StyledButton.h"

#include "Views/Common/BusySpinner.h"
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

void StyledButton::setBusy(bool busy) {
    if (busy == isBusy()) return;
    if (busy) {
        const DynamicColor color = std::holds_alternative<TintedButtonStyle>(style_) ? DynamicColor::white() : std::get<SoftButtonStyle>(style_).tint;
        spinner_ = new BusySpinner(ControlSize::mini, color, this);
        placeSpinner();
        spinner_->show();
    } else {
        delete spinner_;
        spinner_ = nullptr;
    }
    update();
}

void StyledButton::resizeEvent(QResizeEvent* event) {
    QAbstractButton::resizeEvent(event);
    placeSpinner();
}

QRectF StyledButton::labelBox() const {
    const qreal padding = metricsOf(style_).horizontalPadding;
    const qreal contentWidth = std::min(label().size().width(), width() - 2 * padding);
    return QRectF((width() - contentWidth) / 2, 0, contentWidth, height());
}

// The spinner takes the symbol's square at the leading end of the label.
void StyledButton::placeSpinner() {
    if (!spinner_) return;
    const QRectF box = labelBox();
    const qreal side = spinner_->width();
    const qreal x = isRightToLeft() ? box.right() - side : box.left();
    spinner_->move(int(std::round(x)), int(std::round((height() - side) / 2)));
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
    SymbolTextRow row = label();
    QRectF box = labelBox();
    if (spinner_) {
        // The text keeps its place; the spinner stands where the symbol was.
        const qreal slot = row.symbolSize + row.spacing;
        box = isRightToLeft() ? box.adjusted(0, 0, -slot, 0) : box.adjusted(slot, 0, 0, 0);
        row.symbol.clear();
    }
    row.paint(painter, box, ink, isRightToLeft());
}
