#include "Views/DesignSystem/LegendRow.h"

#include "Views/DesignSystem/DotView.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/IconImageView.h"
#include "Views/DesignSystem/TextLabel.h"

#include <QHBoxLayout>

LegendRow::LegendRow(const DynamicColor& color, const QString& label, const QString& value, const QIcon& icon, QWidget* parent)
    : QWidget(parent),
      dot_(new DotView(color, 8)),
      icon_(new IconImageView(icon, 18)),
      label_(new TextLabel(label, Fonts::system(14))),
      value_(new TextLabel(value, Fonts::system(14), DynamicColor::secondary())) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(10);
    row->addWidget(dot_);
    row->addWidget(icon_);
    row->addWidget(label_);
    row->addSpacing(12 - 10);  // with the spacing before the value: at least 12 between label and value
    row->addStretch(1);
    row->addWidget(value_);
    value_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);  // the label gives way, never the figure
    setIcon(icon);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void LegendRow::setColor(const DynamicColor& color) { dot_->setColor(color); }
void LegendRow::setLabel(const QString& label) { label_->setText(label); }
void LegendRow::setValue(const QString& value) { value_->setText(value); }

void LegendRow::setIcon(const QIcon& icon) {
    icon_->setIcon(icon);
    icon_->setVisible(!icon.isNull());
}
