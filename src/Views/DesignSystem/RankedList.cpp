#include "Views/DesignSystem/RankedList.h"

#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/TextLabel.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

RankedList::RankedList(const QString& leading, const QString& trailing, QWidget* parent)
    : CardModifier(14, 18, parent),
      leading_(new TextLabel(leading, Fonts::system(14), DynamicColor::secondary())),
      trailing_(new TextLabel(trailing, Fonts::system(14), DynamicColor::secondary())),
      rows_(new QVBoxLayout) {
    auto* header = new QHBoxLayout;
    header->setContentsMargins(18, 0, 18, 6);
    header->addWidget(leading_);
    header->addStretch(1);
    header->addWidget(trailing_);
    rows_->setSpacing(0);
    QVBoxLayout* stack = contentLayout();
    stack->setSpacing(4);
    stack->addLayout(header);
    stack->addLayout(rows_);
}

void RankedList::setCaptions(const QString& leading, const QString& trailing) {
    leading_->setText(leading);
    trailing_->setText(trailing);
}
