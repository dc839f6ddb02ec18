#pragma once

#include "Foundation/Uuid.h"
#include "Models/SearchHit.h"
#include "Views/DesignSystem/CardModifier.h"
#include "Views/DesignSystem/DynamicColor.h"
#include "Views/Search/SearchSort.h"

#include <optional>
#include <vector>

class LazyRowStack;
class MenuPillLabel;
class Pill;
class QScrollArea;
class SearchResultRow;
class TextLabel;

// The results card: a header with the count, a hint and the sort menu, a plain note when the
// search stopped at its cap, then one row per hit in the chosen order, built as they scroll into view.
class SearchResultsList : public CardModifier {
    Q_OBJECT
public:
    SearchResultsList(const DynamicColor& tint, QScrollArea* page, QWidget* parent = nullptr);

    // The service's hits and the order to show them in.
    void setHits(const std::vector<SearchHit>& hits, SearchSort sort);

    const std::vector<SearchHit>& shownHits() const { return sorted_; }
    SearchResultRow* row(std::size_t index) const;
    std::size_t builtRowCount() const;
    const std::optional<Uuid>& hovered() const { return hovered_; }
    QString countText() const;
    bool showsCapNote() const;
    MenuPillLabel* sortMenu() const { return sortMenu_; }

signals:
    void sortChosen(SearchSort sort);

private:
    void hoverChanged(const Uuid& id, bool entered);

    DynamicColor tint_;
    SearchSort sort_ = SearchSort::size;
    std::vector<SearchHit> sorted_;
    std::int64_t largest_ = 1;
    std::optional<Uuid> hovered_;
    Pill* count_;
    TextLabel* capNote_;
    MenuPillLabel* sortMenu_;
    LazyRowStack* rows_;
};
