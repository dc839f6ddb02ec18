#include "Views/Tools/ToolsDetailHeader.h"

#include "Models/AppLocalization.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/IconBadge.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/Tools/ValueToolPresentation.h"

#include <QHBoxLayout>

ToolsDetailHeader::ToolsDetailHeader(ValueTool tool, QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(14);
    row->addWidget(new IconBadge(ValueToolPresentation::symbol(tool), ValueToolPresentation::tint(tool), 40));
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    auto* title = new TextLabel(AppLocalization::string(ValueToolPresentation::titleKey(tool)), Fonts::system(20, QFont::Bold),
                                ValueToolPresentation::tint(tool));
    title->setObjectName("toolTitle");
    texts->addWidget(title);
    auto* detail = new TextLabel(AppLocalization::string(ValueToolPresentation::detailKey(tool)), Fonts::system(13), DynamicColor::secondary());
    texts->addWidget(detail);
    row->addLayout(texts, 1);
    row->addSpacing(12);
    trailing_ = new QHBoxLayout;
    trailing_->setSpacing(8);
    row->addLayout(trailing_);
}
