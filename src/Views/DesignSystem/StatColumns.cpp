#include "Views/DesignSystem/StatColumns.h"

#include "Views/DesignSystem/DotView.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/TextLabel.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

StatColumns::StatColumns(const std::vector<StatItem>& items, QWidget* parent) : QWidget(parent), row_(new QHBoxLayout(this)) {
    row_->setContentsMargins(0, 0, 0, 0);
    row_->setSpacing(12);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setItems(items);
}

void StatColumns::setItems(const std::vector<StatItem>& items) {
    while (QLayoutItem* item = row_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (const StatItem& item : items) {
        auto* column = new QWidget;
        auto* stack = new QVBoxLayout(column);
        stack->setContentsMargins(0, 0, 0, 0);
        stack->setSpacing(6);
        auto* labelRow = new QHBoxLayout;
        labelRow->setSpacing(6);
        if (item.dot) labelRow->addWidget(new DotView(*item.dot, 7));
        labelRow->addWidget(new TextLabel(item.label, Fonts::system(13), DynamicColor::secondary()), 1);
        stack->addLayout(labelRow);
        auto* value = new TextLabel(item.value, Fonts::system(16, QFont::DemiBold));
        value->setMinimumScaleFactor(0.75);
        stack->addWidget(value);
        row_->addWidget(column, 1, Qt::AlignTop);
    }
}
