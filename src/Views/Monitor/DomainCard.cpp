#include "Views/Monitor/DomainCard.h"

#include "Views/DesignSystem/BarSparkline.h"
#include "Views/DesignSystem/CardHeader.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/HeroValue.h"
#include "Views/DesignSystem/Pill.h"
#include "Views/DesignSystem/StatColumns.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

DomainCard::DomainCard(const QString& title, const QString& symbol, const DynamicColor& tint, std::function<void()> open,
                       std::optional<double> sparkMax, QWidget* parent)
    : CardModifier(24, 18, parent) {
    QVBoxLayout* stack = contentLayout();
    stack->setSpacing(20);
    header_ = new CardHeader(title, symbol, tint, std::move(open));
    stack->addWidget(header_);

    auto* heroRow = new QHBoxLayout;
    heroRow->setSpacing(8);
    hero_ = new HeroValue({}, {}, {}, 42);
    heroRow->addWidget(hero_, 1, Qt::AlignBottom);
    badge_ = new Pill({}, {}, tint);
    badge_->hide();
    // The pill's lower edge stands 10 above the value's.
    auto* badgeColumn = new QVBoxLayout;
    badgeColumn->setContentsMargins(0, 0, 0, 10);
    badgeColumn->addWidget(badge_);
    heroRow->addLayout(badgeColumn);
    heroRow->setAlignment(badgeColumn, Qt::AlignBottom);
    stack->addLayout(heroRow);

    stats_ = new StatColumns;
    stack->addWidget(stats_);
    spark_ = new BarSparkline({}, tint, sparkMax, 40, 60);
    spark_->setBackdrop(DS::card);
    stack->addWidget(spark_);
}

void DomainCard::setHeader(const QString& title, const QString& symbol, std::function<void()> open) {
    header_->setTitle(title);
    header_->setSymbol(symbol);
    header_->setAction(std::move(open));
}

void DomainCard::showHeadline(HeroValue& hero, Pill& pill, const QString& caption, const QString& value, const QString& unit,
                              const std::optional<Badge>& badge) {
    hero.setCaption(caption);
    hero.setValue(value);
    hero.setUnit(unit);
    if (badge) {
        pill.setText(badge->text);
        pill.setSymbol(badge->symbol);
        pill.setTint(badge->tint);
    }
    pill.setVisible(badge.has_value());
}

void DomainCard::setFigures(const Figures& figures) {
    showHeadline(*hero_, *badge_, figures.caption, figures.value, figures.unit, figures.badge);
    stats_->setItems(figures.stats);
    spark_->setValues(figures.spark);
}
