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

void DomainCard::setFigures(const Figures& figures) {
    hero_->setCaption(figures.caption);
    hero_->setValue(figures.value);
    hero_->setUnit(figures.unit);
    if (figures.badge) {
        badge_->setText(figures.badge->text);
        badge_->setSymbol(figures.badge->symbol);
        badge_->setTint(figures.badge->tint);
    }
    badge_->setVisible(figures.badge.has_value());
    stats_->setItems(figures.stats);
    spark_->setValues(figures.spark);
}
