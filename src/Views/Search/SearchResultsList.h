#pragma once

#include "Foundation/Uuid.h"
#include "Foundation/Instant.h"
#include "Models/SearchHit.h"
#include "Services/SearchFindings.h"
#include "Views/DesignSystem/CardModifier.h"
#include "Views/DesignSystem/DynamicColor.h"
#include "Views/Search/SearchSort.h"

#include <optional>
#include <vector>

class LazyRowStack;
class MenuPillLabel;
class Pill;
class QScrollArea;
class SearchIndexNote;
class SearchResultRow;
class TextLabel;

// The results card: a header with the count, a hint and the sort menu, a plain note when more files
// matched than the cap lets it list, the index's age (and what of it is gone from the disk), then one
// row per hit in the chosen order, built as they scroll into view.
class SearchResultsList : public CardModifier {
    Q_OBJECT
public:
    SearchResultsList(const DynamicColor& tint, QScrollArea* page, QWidget* parent = nullptr);

    // The service's findings and the order to show their hits in; `now` dates the index.
    void setFindings(const SearchFindings& findings, SearchSort sort, Instant now);
    void setSort(SearchSort sort);

    const std::vector<SearchHit>& shownHits() const { return sorted_; }
    SearchResultRow* row(std::size_t index) const;
    std::size_t builtRowCount() const;
    const std::optional<Uuid>& hovered() const { return hovered_; }
    QString countText() const;
    bool showsCapNote() const;
    SearchIndexNote* indexNote() const { return indexNote_; }
    MenuPillLabel* sortMenu() const { return sortMenu_; }

signals:
    void sortChosen(SearchSort sort);

private:
    void hoverChanged(const Uuid& id, bool entered);

    DynamicColor tint_;
    SearchSort sort_ = SearchSort::size;
    std::vector<SearchHit> hits_;  // as the service gave them
    std::vector<SearchHit> sorted_;
    std::int64_t largest_ = 1;
    std::optional<Uuid> hovered_;
    Pill* count_;
    TextLabel* capNote_;
    SearchIndexNote* indexNote_;
    MenuPillLabel* sortMenu_;
    LazyRowStack* rows_;
};
