#include "Views/Uninstaller/CategoryHeader.h"

#include "Models/AppLocalization.h"
#include "Models/ByteFormatting.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/SymbolView.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/Uninstaller/ArtifactCategoryPresentation.h"

#include <QHBoxLayout>

CategoryHeader::CategoryHeader(ArtifactCategory category, const DynamicColor& tint, std::int64_t total, QWidget* parent)
    : QWidget(parent), category_(category) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(18, 14, 18, 2);
    row->setSpacing(8);
    row->addWidget(new SymbolView(SymbolImage{.symbol = ArtifactCategoryPresentation::symbol(category), .size = 11, .color = tint}));
    const QString title = AppLocalization::string(ArtifactCategoryPresentation::titleKey(category));
    title_ = new TextLabel(AppLocalization::activeLocale().toUpper(title), Fonts::system(12, QFont::DemiBold), DynamicColor::secondary());
    row->addWidget(title_);
    row->addStretch(1);
    total_ = new TextLabel(ByteFormatting::string(total), Fonts::system(12, QFont::Medium), DynamicColor::tertiary());
    total_->setObjectName("categoryTotal");
    row->addWidget(total_);
}
