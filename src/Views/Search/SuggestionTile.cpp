#include "Views/Search/SuggestionTile.h"

#include "Models/AppLocalization.h"
#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/IconBadge.h"
#include "Views/DesignSystem/SymbolView.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/DesignSystem/Transition.h"

#include <QHBoxLayout>
#include <QPainter>

namespace {

SymbolImage arrowImage(const QuickSearch& item, bool hovering) {
    return {.symbol = QStringLiteral("arrow.up.forward"),
            .size = 11,
            .color = hovering ? item.tint : DynamicColor::secondary(),
            .opacity = hovering ? 1.0 : 0.6,
            .mirroredInRightToLeft = true};
}

}  // namespace

SuggestionTile::SuggestionTile(const QuickSearch& item, QWidget* parent)
    : QAbstractButton(parent), item_(item), transition_(new Transition(this, 140, QEasingCurve::OutCubic)) {
    const QString title = AppLocalization::string(item_.title);
    setText(title);
    setAccessibleName(title);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(12, 12, 12, 12);
    row->setSpacing(12);
    row->addWidget(new IconBadge(item_.symbol, item_.tint, 34));
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    auto* titleLabel = new TextLabel(title, Fonts::system(14, QFont::DemiBold));
    titleLabel->setObjectName("tileTitle");
    texts->addWidget(titleLabel);
    texts->addWidget(new TextLabel(item_.detail, Fonts::system(12), DynamicColor::secondary()));
    row->addLayout(texts, 1);
    row->addSpacing(4);
    arrow_ = new SymbolView(arrowImage(item_, false));
    row->addWidget(arrow_);
}

qreal SuggestionTile::hoverLevel() const { return Transition::mix(fromLevel_, hovering_ ? 1 : 0, transition_->progress()); }

void SuggestionTile::setHovering(bool hovering) {
    if (hovering == hovering_) return;
    fromLevel_ = hoverLevel();
    hovering_ = hovering;
    arrow_->setImage(arrowImage(item_, hovering_));
    transition_->start();
}

void SuggestionTile::enterEvent(QEnterEvent*) { setHovering(true); }
void SuggestionTile::leaveEvent(QEvent*) { setHovering(false); }

void SuggestionTile::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QPainterPath shape = ContinuousShape::roundedRect(box, 14);
    painter.fillPath(shape, DS::raised.resolved());
    painter.setPen(QPen(Transition::mix(DS::hairline.resolved(), item_.tint.resolved(0.35), hoverLevel()), 1));
    painter.drawPath(shape);
}
