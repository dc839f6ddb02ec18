#include "Views/Search/SearchSuggestions.h"

#include "Models/AppLocalization.h"
#include "Views/DesignSystem/CardHeader.h"
#include "Views/DesignSystem/CardModifier.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/IconBadge.h"
#include "Views/DesignSystem/StyledButton.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/Search/SearchTip.h"
#include "Views/Search/SuggestionGrid.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

SearchSuggestions::SearchSuggestions(const DynamicColor& tint, QWidget* parent) : QWidget(parent) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(16);

    auto* cards = new QHBoxLayout;
    cards->setSpacing(16);
    auto* quick = new CardModifier(22, 18);
    quick->setObjectName("quickCard");
    quick->contentLayout()->setSpacing(16);
    quick->contentLayout()->addWidget(new CardHeader(AppLocalization::string("search.quick.title"), QStringLiteral("sparkle.magnifyingglass"), tint));
    auto* quickDetail = new TextLabel(AppLocalization::string("search.quick.detail"), Fonts::system(13), DynamicColor::secondary());
    quickDetail->setWordWrap(true);
    quick->contentLayout()->addWidget(quickDetail);
    grid_ = new SuggestionGrid;
    connect(grid_, &SuggestionGrid::chosen, this, &SearchSuggestions::quickSearchChosen);
    quick->contentLayout()->addWidget(grid_);
    cards->addWidget(quick, 1, Qt::AlignTop);

    auto* tips = new CardModifier(22, 18);
    tips->setObjectName("tipsCard");
    tips->setFixedWidth(290);
    tips->contentLayout()->setSpacing(16);
    tips->contentLayout()->addWidget(new CardHeader(AppLocalization::string("search.tips.title"), QStringLiteral("lightbulb.max.fill"), DS::teal));
    tips->contentLayout()->addWidget(new SearchTip(QStringLiteral("doc.badge.gearshape"), QStringLiteral("search.tip.extension")));
    tips->contentLayout()->addWidget(new SearchTip(QStringLiteral("scope"), QStringLiteral("search.tip.scope")));
    tips->contentLayout()->addWidget(new SearchTip(QStringLiteral("cursorarrow.click.2"), QStringLiteral("search.tip.open")));
    cards->addWidget(tips, 0, Qt::AlignTop);
    column->addLayout(cards);

    auto* privacy = new CardModifier(18, 18);
    auto* row = new QHBoxLayout;
    row->setSpacing(14);
    row->addWidget(new IconBadge(QStringLiteral("lock.shield.fill"), DS::green, 30));
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addWidget(new TextLabel(AppLocalization::string("search.private"), Fonts::system(14, QFont::DemiBold)));
    auto* detail = new TextLabel(AppLocalization::string("search.start.detail"), Fonts::system(13), DynamicColor::secondary());
    detail->setWordWrap(true);
    texts->addWidget(detail);
    row->addLayout(texts, 1);
    row->addSpacing(12);
    auto* start = new StyledButton(AppLocalization::string("search.start.action"), {}, SoftButtonStyle{tint});
    start->setObjectName("startTyping");
    connect(start, &QAbstractButton::clicked, this, &SearchSuggestions::startClicked);
    row->addWidget(start);
    privacy->contentLayout()->addLayout(row);
    column->addWidget(privacy);
}
