#include "Views/Tools/ToolsValueColumn.h"

#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/DesignSystem/ThinBar.h"

#include <QVBoxLayout>

ToolsValueColumn::ToolsValueColumn(const QString& value, double fraction, const DynamicColor& tint, QWidget* parent) : QWidget(parent) {
    setMinimumWidth(110);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(7);
    value_ = new TextLabel(value, Fonts::monospaced(14, QFont::DemiBold));
    column->addWidget(value_, 0, Qt::AlignTrailing);
    bar_ = new ThinBar(fraction, tint, 4);
    bar_->setFixedWidth(110);
    column->addWidget(bar_, 0, Qt::AlignTrailing);
}

void ToolsValueColumn::setValue(const QString& value) { value_->setText(value); }

void ToolsValueColumn::setFraction(double fraction) { bar_->setFraction(fraction); }

QString ToolsValueColumn::value() const { return value_->text(); }

double ToolsValueColumn::fraction() const { return bar_->fraction(); }
