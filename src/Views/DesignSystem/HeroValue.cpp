#include "Views/DesignSystem/HeroValue.h"

#include "Views/DesignSystem/FigureAndUnit.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/TextLabel.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

HeroValue::HeroValue(const QString& caption, const QString& value, const QString& unit, qreal size, QWidget* parent)
    : QWidget(parent),
      caption_(new TextLabel(caption, Fonts::system(14), DynamicColor::secondary())),
      figure_(new FigureAndUnit(Fonts::system(size, QFont::Bold), Fonts::system(size * 0.5, QFont::Medium), 8, 0.6)) {
    // The figure runs left to right in every language, but sits at the leading edge like the rest.
    auto* figure = new QHBoxLayout;
    figure->addWidget(figure_);
    figure->addStretch(1);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);
    column->addWidget(caption_);
    column->addLayout(figure);
    setCaption(caption);
    setValue(value);
    setUnit(unit);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void HeroValue::setCaption(const QString& caption) {
    caption_->setText(caption);
    caption_->setVisible(!caption.isEmpty());
}

void HeroValue::setValue(const QString& value) { figure_->setValue(value); }

void HeroValue::setUnit(const QString& unit) { figure_->setUnit(unit); }

TextLabel* HeroValue::valueLabel() const { return figure_->valueLabel(); }

TextLabel* HeroValue::unitLabel() const { return figure_->unitLabel(); }
