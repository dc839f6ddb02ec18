#include "Views/Search/QuickSearchStrip.h"

#include "Models/AppLocalization.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/Search/QuickSearchChip.h"

#include <QHBoxLayout>

QuickSearchStrip::QuickSearchStrip(QWidget* parent) : CardModifier(16, 18, parent) {
    auto* row = new QHBoxLayout;
    row->setSpacing(10);
    row->addWidget(new TextLabel(AppLocalization::string("search.try"), Fonts::system(13, QFont::DemiBold), DynamicColor::secondary()));
    for (const QuickSearch& item : QuickSearch::all()) {
        auto* chip = new QuickSearchChip(item);
        connect(chip, &QAbstractButton::clicked, this, [this, &item] { emit chosen(item); });
        row->addWidget(chip);
    }
    row->addStretch(1);
    contentLayout()->addLayout(row);
}
