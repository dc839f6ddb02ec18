#include "Views/DesignSystem/KeyValueRow.h"

#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/TextLabel.h"

#include <QHBoxLayout>

KeyValueRow::KeyValueRow(const QString& label, const QString& value, QWidget* parent)
    : QWidget(parent),
      label_(new TextLabel(label, Fonts::system(14), DynamicColor::secondary())),
      value_(new TextLabel(value, Fonts::system(14, QFont::DemiBold))) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(label_);
    row->addSpacing(16);
    row->addStretch(1);
    row->addWidget(value_);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void KeyValueRow::setLabel(const QString& label) { label_->setText(label); }
void KeyValueRow::setValue(const QString& value) { value_->setText(value); }
