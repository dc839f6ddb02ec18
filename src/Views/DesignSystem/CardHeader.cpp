#include "Views/DesignSystem/CardHeader.h"

#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/IconBadge.h"
#include "Views/DesignSystem/SymbolButton.h"
#include "Views/DesignSystem/TextLabel.h"

#include <QHBoxLayout>

CardHeader::CardHeader(const QString& title, const QString& symbol, const DynamicColor& tint, std::function<void()> action, QWidget* parent)
    : QWidget(parent),
      badge_(new IconBadge(symbol, tint, 30)),
      title_(new TextLabel(title, Fonts::system(16, QFont::DemiBold), tint)),
      chevron_(new SymbolButton({.symbol = QStringLiteral("chevron.forward"), .size = 12, .color = DynamicColor::tertiary(), .mirroredInRightToLeft = true})) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(12);
    row->addWidget(badge_);
    row->addWidget(title_);
    row->addStretch(1);
    row->addWidget(chevron_);
    chevron_->setFrameSize({24, 24});
    connect(chevron_, &SymbolButton::clicked, this, [this] {
        if (action_) action_();
    });
    setAction(std::move(action));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void CardHeader::setTitle(const QString& title) { title_->setText(title); }
void CardHeader::setSymbol(const QString& symbol) { badge_->setSymbol(symbol); }

void CardHeader::setTint(const DynamicColor& tint) {
    badge_->setTint(tint);
    title_->setColor(tint);
}

void CardHeader::setAction(std::function<void()> action) {
    action_ = std::move(action);
    chevron_->setVisible(bool(action_));
}
