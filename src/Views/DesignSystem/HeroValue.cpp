#include "Views/DesignSystem/HeroValue.h"

#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/TextLabel.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include <cmath>

HeroValue::HeroValue(const QString& caption, const QString& value, const QString& unit, qreal size, QWidget* parent)
    : QWidget(parent),
      caption_(new TextLabel(caption, Fonts::system(14), DynamicColor::secondary())),
      value_(new TextLabel(value, Fonts::system(size, QFont::Bold))),
      unit_(new TextLabel(unit, Fonts::system(size * 0.5, QFont::Medium), DynamicColor::secondary())) {
    value_->setMinimumScaleFactor(0.6);

    // The figure runs left to right in every language, but sits at the leading edge like the rest.
    auto* pair = new QWidget;
    pair->setLayoutDirection(Qt::LeftToRight);
    auto* pairRow = new QHBoxLayout(pair);
    pairRow->setContentsMargins(0, 0, 0, 0);
    pairRow->setSpacing(8);
    pairRow->addWidget(value_, 0, Qt::AlignBottom);
    pairRow->addWidget(unit_, 0, Qt::AlignBottom);
    // Bottom-aligned boxes put both texts on one baseline once the unit's smaller descent is added.
    const int descentGap = int(std::lround(QFontMetricsF(value_->font()).descent() - QFontMetricsF(unit_->font()).descent()));
    unit_->setContentsMargins(0, 0, 0, std::max(0, descentGap));
    auto* figure = new QHBoxLayout;
    figure->addWidget(pair);
    figure->addStretch(1);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);
    column->addWidget(caption_);
    column->addLayout(figure);
    setCaption(caption);
    setUnit(unit);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void HeroValue::setCaption(const QString& caption) {
    caption_->setText(caption);
    caption_->setVisible(!caption.isEmpty());
}

void HeroValue::setValue(const QString& value) { value_->setText(value); }

void HeroValue::setUnit(const QString& unit) {
    unit_->setText(unit);
    unit_->setVisible(!unit.isEmpty());
}
