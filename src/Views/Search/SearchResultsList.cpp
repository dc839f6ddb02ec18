#include "Views/Search/SearchResultsList.h"

#include "Models/AppLocalization.h"
#include "Services/SearchService.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/IconBadge.h"
#include "Views/DesignSystem/Pill.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/Search/ChoiceMenu.h"
#include "Views/Search/MenuPillLabel.h"
#include "Views/Search/SearchIndexNote.h"
#include "Views/Search/SearchResultOrder.h"
#include "Views/Search/SearchResultRow.h"
#include "Views/Tools/LazyRowStack.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include <algorithm>

SearchResultsList::SearchResultsList(const DynamicColor& tint, QScrollArea* page, QWidget* parent) : CardModifier(14, 18, parent), tint_(tint) {
    contentLayout()->setSpacing(4);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(18, 6, 18, 10);
    header->setSpacing(12);
    header->addWidget(new IconBadge(QStringLiteral("doc.text.magnifyingglass"), tint_, 30));
    header->addWidget(new TextLabel(AppLocalization::string("search.results.title"), Fonts::system(16, QFont::DemiBold), tint_));
    count_ = new Pill({}, {}, DynamicColor::secondary());
    header->addWidget(count_);
    header->addStretch(1);
    header->addSpacing(12);
    header->addWidget(new TextLabel(AppLocalization::string("search.doubleClick"), Fonts::system(12), DynamicColor::tertiary()));
    sortMenu_ = new MenuPillLabel(QStringLiteral("arrow.up.arrow.down"), AppLocalization::string(labelKey(sort_)), DynamicColor::primary());
    sortMenu_->setObjectName("sortMenu");
    connect(sortMenu_, &QAbstractButton::clicked, this, [this] {
        if (auto chosen = ChoiceMenu::popUpCases(sortMenu_, sort_)) emit sortChosen(*chosen);
    });
    header->addWidget(sortMenu_);
    contentLayout()->addLayout(header);

    capNote_ = new TextLabel({}, Fonts::system(13), DynamicColor::secondary());
    capNote_->setObjectName("capNote");
    capNote_->setWordWrap(true);
    capNote_->setContentsMargins(18, 0, 18, 6);
    contentLayout()->addWidget(capNote_);
    indexNote_ = new SearchIndexNote;
    indexNote_->setContentsMargins(18, 0, 18, 6);
    contentLayout()->addWidget(indexNote_);

    rows_ = new LazyRowStack;
    rows_->followScrolling(page);
    contentLayout()->addWidget(rows_);
}

void SearchResultsList::setFindings(const SearchFindings& findings, SearchSort sort, Instant now) {
    hits_ = findings.hits;
    count_->setText(AppLocalization::format("search.resultCount", {qlonglong(hits_.size())}));
    // Said only when the service saw a file beyond its cap, not merely because it reached it.
    capNote_->setText(findings.hasMore ? AppLocalization::format("search.capReached", {qlonglong(SearchService::maximumHits)}) : QString());
    capNote_->setVisible(findings.hasMore);
    indexNote_->setFindings(findings, now);
    setSort(sort);
}

void SearchResultsList::setSort(SearchSort sort) {
    sort_ = sort;
    sortMenu_->setContent(QStringLiteral("arrow.up.arrow.down"), AppLocalization::string(labelKey(sort_)));
    sorted_ = SearchResultOrder::sorted(hits_, sort_);
    largest_ = 1;
    for (const SearchHit& hit : sorted_) largest_ = std::max(largest_, hit.size);
    if (hovered_ && std::none_of(sorted_.begin(), sorted_.end(), [&](const SearchHit& hit) { return hit.id == *hovered_; })) hovered_.reset();

    std::vector<std::string> keys;
    keys.reserve(sorted_.size());
    for (const SearchHit& hit : sorted_) keys.push_back(hit.id.text());
    const auto make = [this](std::size_t index) -> QWidget* {
        const SearchHit& hit = sorted_[index];
        auto* row = new SearchResultRow(hit, largest_, tint_, hovered_ == hit.id);
        connect(row, &SearchResultRow::hoverChanged, this, [this, id = hit.id](bool entered) { hoverChanged(id, entered); });
        return row;
    };
    // A kept row is the same hit; only the largest, and so its bar, may have changed.
    const auto refresh = [this](std::size_t index, QWidget* row) {
        static_cast<RankedRow*>(row)->setFraction(double(std::max<std::int64_t>(sorted_[index].size, 0)) / double(largest_));
    };
    rows_->setRows(std::move(keys), make, refresh);
}

SearchResultRow* SearchResultsList::row(std::size_t index) const { return static_cast<SearchResultRow*>(rows_->row(index)); }

std::size_t SearchResultsList::builtRowCount() const { return rows_->builtCount(); }

QString SearchResultsList::countText() const { return count_->text(); }

bool SearchResultsList::showsCapNote() const { return !capNote_->isHidden(); }

void SearchResultsList::hoverChanged(const Uuid& id, bool entered) {
    // Leaving one row and entering the next may come in either order: a leave clears only its own row.
    if (entered) hovered_ = id;
    else if (hovered_ == id) hovered_.reset();
    for (std::size_t index = 0; index < rows_->builtCount(); ++index)
        if (SearchResultRow* each = row(index)) each->setHighlighted(hovered_ == each->hit().id);
}
