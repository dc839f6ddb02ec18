#pragma once

#include "Models/SearchKind.h"
#include "Services/SearchService.h"
#include "Views/Search/QuickSearch.h"
#include "Views/Search/SearchScope.h"
#include "Views/Search/SearchSort.h"

#include <QTimer>
#include <QWidget>

#include <filesystem>
#include <memory>
#include <optional>

class AppState;
class DashboardPage;
class QVBoxLayout;
class SearchField;
class SearchFilterBar;
class SearchResultsList;
class SearchSuggestions;

// The search section: the search card, then suggestions, the running search, the error, the
// results or the empty state. Typing searches 280 ms after the last keystroke; a change of kind or
// scope, and Return, search at once; clearing the field stops the search. The screen owns its search
// service and stops it when it goes.
class SearchView : public QWidget {
    Q_OBJECT
public:
    static constexpr int searchDelayMs = 280;

    // Without a service the screen makes its own over the machine's file index.
    explicit SearchView(AppState& state, std::unique_ptr<SearchService> search = {}, QWidget* parent = nullptr);
    ~SearchView() override;

    enum class Content { suggestions, searching, error, results, empty };
    Content content() const { return content_; }

    const QString& queryText() const { return queryText_; }
    void setQueryText(const QString& text);  // as typing it would
    SearchKind kind() const { return kind_; }
    void setKind(SearchKind kind);
    SearchScope scope() const { return scope_; }
    void setScope(SearchScope scope);
    SearchSort sortOrder() const { return sortOrder_; }
    void setSortOrder(SearchSort sort);
    void applyQuickSearch(const QuickSearch& item);
    // Searches now with the query, kind and scope in force.
    void performSearch();
    void focusSearchField();

    // The typing delay: whether a search waits for it, and ending the wait at once (tests).
    bool isSearchPending() const { return delay_.isActive(); }
    void runPendingSearch();

    SearchService& service() const { return *search_; }
    SearchField* field() const { return field_; }
    SearchFilterBar* filters() const { return filters_; }
    SearchResultsList* resultsList() const { return results_; }
    SearchSuggestions* suggestions() const { return suggestions_; }
    // The widget that shows the present content.
    QWidget* contentWidget() const { return shown_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void queryEdited(const QString& text);
    std::optional<std::filesystem::path> scopeFolder() const;
    Content wantedContent() const;
    void refreshContent();
    void showContent(QWidget* widget);
    QWidget* makeSearchingState();
    QWidget* makeErrorState(const QString& message, const QString& details);
    QWidget* makeEmptyState();
    QWidget* withQuickSearchStrip(QWidget* state);

    AppState& state_;
    std::unique_ptr<SearchService> search_;
    QString queryText_;
    SearchKind kind_ = SearchKind::all;
    SearchScope scope_ = SearchScope::home;
    SearchSort sortOrder_ = SearchSort::size;
    // Whether a search ran since the field was last blank: until then the service's results and
    // message belong to an older query, or to none.
    bool searchedSinceCleared_ = false;
    QTimer delay_;

    DashboardPage* page_;
    SearchField* field_;
    SearchFilterBar* filters_;
    QVBoxLayout* contentLayout_;
    SearchSuggestions* suggestions_;
    SearchResultsList* results_;
    QWidget* shown_ = nullptr;  // one of the two above, or a state made for the moment
    Content content_ = Content::suggestions;
    QString shownKey_;  // what the shown state was made from
};
