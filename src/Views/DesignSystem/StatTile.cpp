#include "Views/DesignSystem/StatTile.h"

#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/IconBadge.h"
#include "Views/DesignSystem/TextLabel.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

StatTile::StatTile(const QString& title, const QString& symbol, const DynamicColor& tint, const QString& value, QWidget* footer, QWidget* parent)
    : CardModifier(20, 16, parent),
      badge_(new IconBadge(symbol, tint, 26)),
      title_(new TextLabel(title, Fonts::system(14), DynamicColor::secondary())),
      value_(new TextLabel(value, Fonts::system(28, QFont::Bold))) {
    value_->setMinimumScaleFactor(0.6);
    auto* heading = new QHBoxLayout;
    heading->setSpacing(10);
    heading->addWidget(badge_);
    heading->addWidget(title_, 1);
    QVBoxLayout* stack = contentLayout();
    stack->setSpacing(14);
    stack->addLayout(heading);
    stack->addWidget(value_);
    if (footer) stack->addWidget(footer);
}

QSize StatTile::sizeHint() const { return CardModifier::sizeHint().expandedTo(QSize(0, 120)); }
QSize StatTile::minimumSizeHint() const { return CardModifier::minimumSizeHint().expandedTo(QSize(0, 120)); }

void StatTile::setTitle(const QString& title) { title_->setText(title); }
void StatTile::setSymbol(const QString& symbol) { badge_->setSymbol(symbol); }
void StatTile::setTint(const DynamicColor& tint) { badge_->setTint(tint); }
void StatTile::setValue(const QString& value) { value_->setText(value); }
