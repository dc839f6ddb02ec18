#include "Views/Search/SearchEmptyState.h"

#include "Models/AppLocalization.h"
#include "Models/IsolatedText.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/IconBadge.h"
#include "Views/DesignSystem/Pill.h"
#include "Views/DesignSystem/StyledButton.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/Search/SearchIndexNote.h"
#include "Views/Search/SearchKindPresentation.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

SearchEmptyState::SearchEmptyState(const QString& trimmedQuery, SearchKind kind, SearchScope scope, const SearchFindings& findings, Instant now,
                                   const DynamicColor& tint, QWidget* parent)
    : CardModifier(28, 18, parent) {
    auto* column = new QVBoxLayout;
    column->setContentsMargins(0, 20, 0, 20);
    column->setSpacing(16);
    column->addWidget(new IconBadge(QStringLiteral("doc.text.magnifyingglass"), tint, 56), 0, Qt::AlignHCenter);

    title_ = new TextLabel(AppLocalization::format("search.empty.query", {isolatedText(trimmedQuery)}), Fonts::system(22, QFont::Bold));
    title_->setObjectName("emptyTitle");
    title_->setWordWrap(true);
    title_->setMaximumLineCount(2);
    title_->setAlignment(Qt::AlignHCenter);
    column->addWidget(title_);

    auto* detail = new TextLabel(AppLocalization::string("search.empty.detail"), Fonts::system(14), DynamicColor::secondary());
    detail->setWordWrap(true);
    detail->setAlignment(Qt::AlignHCenter);
    detail->setMaximumWidth(480);
    // Centred by stretches rather than by alignment, so the label still gets the height its lines need.
    auto* detailRow = new QHBoxLayout;
    detailRow->addStretch(1);
    detailRow->addWidget(detail, 100);
    detailRow->addStretch(1);
    column->addLayout(detailRow);

    auto* indexNote = new SearchIndexNote;
    indexNote->setAlignment(Qt::AlignHCenter);
    indexNote->setMaximumWidth(480);
    auto* noteRow = new QHBoxLayout;
    noteRow->addStretch(1);
    noteRow->addWidget(indexNote, 100);
    noteRow->addStretch(1);
    column->addLayout(noteRow);

    auto* pills = new QHBoxLayout;
    pills->setSpacing(8);
    pills->addWidget(new Pill(AppLocalization::string(labelKey(kind)), symbol(kind), tint));
    pills->addWidget(new Pill(AppLocalization::string(labelKey(scope)), symbol(scope), DynamicColor::secondary()));
    column->addLayout(pills);
    column->setAlignment(pills, Qt::AlignHCenter);

    // Each widening still possible, then clearing; only the first is the tinted one.
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 4, 0, 0);
    buttons->setSpacing(10);
    const auto add = [&](const char* key, auto signal) {
        const ButtonStyle style = buttons_.empty() ? ButtonStyle(TintedButtonStyle{tint}) : ButtonStyle(SoftButtonStyle{DynamicColor::primary()});
        auto* button = new StyledButton(AppLocalization::string(key), {}, style);
        connect(button, &QAbstractButton::clicked, this, signal);
        buttons->addWidget(button);
        buttons_.push_back(button);
    };
    if (kind != SearchKind::all) add("search.allTypes", &SearchEmptyState::allKindsClicked);
    if (scope != SearchScope::everywhere) add("search.everywhere", &SearchEmptyState::everywhereClicked);
    add("search.clear", &SearchEmptyState::clearClicked);
    column->addLayout(buttons);
    column->setAlignment(buttons, Qt::AlignHCenter);

    contentLayout()->addLayout(column);
    indexNote->setFindings(findings, now);  // once it has a parent: it shows itself when it has words
}

QString SearchEmptyState::titleText() const { return title_->text(); }
