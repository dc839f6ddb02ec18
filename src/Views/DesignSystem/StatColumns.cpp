#include "Views/DesignSystem/StatColumns.h"

#include "Views/DesignSystem/DotView.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/TextLabel.h"

#include <QHBoxLayout>

#include <algorithm>
#include <QVBoxLayout>

StatColumns::StatColumns(const std::vector<StatItem>& items, QWidget* parent) : QWidget(parent), row_(new QHBoxLayout(this)) {
    row_->setContentsMargins(0, 0, 0, 0);
    row_->setSpacing(12);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setItems(items);
}

void StatColumns::setItems(const std::vector<StatItem>& items) {
    const bool sameShape = items.size() == columns_.size() && std::equal(items.begin(), items.end(), columns_.begin(), [](const StatItem& item, const Column& column) {
        return item.dot.has_value() == (column.dot != nullptr);
    });
    if (sameShape) {
        for (size_t index = 0; index < items.size(); ++index) {
            if (columns_[index].dot) columns_[index].dot->setColor(*items[index].dot);
            columns_[index].label->setText(items[index].label);
            columns_[index].value->setText(items[index].value);
        }
        return;
    }
    columns_.clear();
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
        DotView* dot = item.dot ? new DotView(*item.dot, 7) : nullptr;
        if (dot) labelRow->addWidget(dot);
        auto* label = new TextLabel(item.label, Fonts::system(13), DynamicColor::secondary());
        labelRow->addWidget(label, 1);
        stack->addLayout(labelRow);
        auto* value = new TextLabel(item.value, Fonts::system(16, QFont::DemiBold));
        value->setMinimumScaleFactor(0.75);
        stack->addWidget(value);
        columns_.push_back({dot, label, value});
        row_->addWidget(column, 1, Qt::AlignTop);
    }
}
