#include "Views/Search/SearchView.h"

#include "Models/AppLocalization.h"
#include "Models/DisplayText.h"
#include "Platform/SystemRoots.h"
#include "Services/AppState.h"
#include "Services/SearchService.h"
#include "Views/Common/BusySpinner.h"
#include "Views/Common/DashboardPage.h"
#include "Views/DesignSystem/Banner.h"
#include "Views/DesignSystem/CardModifier.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/StyledButton.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/Search/QuickSearchStrip.h"
#include "Views/Search/SearchEmptyState.h"
#include "Views/Search/SearchField.h"
#include "Views/Search/SearchFilterBar.h"
#include "Views/Search/SearchResultsList.h"
#include "Views/Search/SearchSuggestions.h"

#include <QLineEdit>
#include <QShortcut>
#include <QVBoxLayout>

namespace {

constexpr DynamicColor searchTint = DS::blue;

}  // namespace

SearchView::SearchView(AppState& state, std::unique_ptr<SearchService> search, QWidget* parent)
    : QWidget(parent), state_(state), search_(search ? std::move(search) : std::make_unique<SearchService>()) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    page_ = new DashboardPage;
    outer->addWidget(page_);

    delay_.setSingleShot(true);
    delay_.setTimerType(Qt::PreciseTimer);
    delay_.setInterval(searchDelayMs);
    connect(&delay_, &QTimer::timeout, this, &SearchView::performSearch);

    field_ = new SearchField(searchTint);
    connect(field_, &SearchField::textEdited, this, &SearchView::queryEdited);
    connect(field_, &SearchField::submitted, this, &SearchView::performSearch);
    connect(field_, &SearchField::clearClicked, this, [this] {
        setQueryText({});
        focusSearchField();
    });
    filters_ = new SearchFilterBar(searchTint, kind_, scope_);
    connect(filters_, &SearchFilterBar::kindChosen, this, &SearchView::setKind);
    connect(filters_, &SearchFilterBar::scopeChosen, this, &SearchView::setScope);

    QVBoxLayout* column = page_->beginContent();
    auto* card = new CardModifier(20, 18);
    card->contentLayout()->setSpacing(16);
    card->contentLayout()->addWidget(field_);
    card->contentLayout()->addWidget(filters_);
    column->addWidget(card);
    contentLayout_ = new QVBoxLayout;
    contentLayout_->setSpacing(16);
    column->addLayout(contentLayout_);
    column->addStretch(1);

    suggestions_ = new SearchSuggestions(searchTint);
    connect(suggestions_, &SearchSuggestions::quickSearchChosen, this, &SearchView::applyQuickSearch);
    connect(suggestions_, &SearchSuggestions::startClicked, this, &SearchView::focusSearchField);
    contentLayout_->addWidget(suggestions_);
    results_ = new SearchResultsList(searchTint, page_);
    results_->hide();
    connect(results_, &SearchResultsList::sortChosen, this, &SearchView::setSortOrder);
    contentLayout_->addWidget(results_);
    shown_ = suggestions_;
    page_->endContent();

    // Ctrl+F puts the focus into the field from anywhere in the window, which shows this screen
    // only while it lives.
    auto* find = new QShortcut(QKeySequence::Find, this);
    find->setContext(Qt::WindowShortcut);
    connect(find, &QShortcut::activated, this, &SearchView::focusSearchField);

    connect(search_.get(), &SearchService::isSearchingChanged, this, [this] {
        field_->setSearching(search_->isSearching());
        refreshContent();
    });
    connect(search_.get(), &SearchService::errorMessageChanged, this, &SearchView::refreshContent);
    connect(search_.get(), &SearchService::resultsChanged, this, [this] {
        results_->setFindings(search_->findings(), sortOrder_, Instant::now());
        refreshContent();
    });
}

SearchView::~SearchView() {
    // Leaving the section ends the search: nothing is left running for a screen that is gone.
    delay_.stop();
    search_->stop();
    // A search held up by a file system that stops answering outlives the screen, never the reverse.
    if (!search_->isIdle()) search_.release()->deleteWhenIdle();
}

void SearchView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (queryText_.isEmpty()) focusSearchField();
}

void SearchView::focusSearchField() { field_->edit()->setFocus(Qt::OtherFocusReason); }

void SearchView::setQueryText(const QString& text) {
    if (field_->edit()->text() != text) field_->edit()->setText(text);  // reports back through queryEdited
}

void SearchView::queryEdited(const QString& text) {
    if (text == queryText_) return;
    queryText_ = text;
    // Every change restarts the wait; a blank field stops the search instead.
    delay_.stop();
    if (queryText_.trimmed().isEmpty()) {
        search_->stop();
        searchedSinceCleared_ = false;
    } else {
        delay_.start();
    }
    refreshContent();
}

void SearchView::setKind(SearchKind kind) {
    filters_->setKind(kind);  // a tap on the chosen pill leaves it chosen
    if (kind == kind_) return;
    kind_ = kind;
    performSearch();
}

void SearchView::setScope(SearchScope scope) {
    if (scope == scope_) return;
    scope_ = scope;
    filters_->setScope(scope);
    performSearch();
}

void SearchView::setSortOrder(SearchSort sort) {
    if (sort == sortOrder_) return;
    sortOrder_ = sort;
    results_->setSort(sortOrder_);
}

void SearchView::applyQuickSearch(const QuickSearch& item) {
    // The kind first: its change searches with the old text, then the new text waits its turn.
    setKind(item.kind);
    setQueryText(item.query);
}

void SearchView::runPendingSearch() {
    if (!delay_.isActive()) return;
    delay_.stop();
    performSearch();
}

std::optional<std::filesystem::path> SearchView::scopeFolder() const {
    switch (scope_) {
    case SearchScope::everywhere: return std::nullopt;
    case SearchScope::home: return SystemRoots::current().home;
    case SearchScope::scanFolder: return state_.scanRoot();
    }
    return std::nullopt;
}

void SearchView::performSearch() {
    // Always the values in force now, so the newest search the service is given is the one on screen.
    if (!queryText_.trimmed().isEmpty()) searchedSinceCleared_ = true;
    search_->search(queryText_, scopeFolder(), kind_);
    refreshContent();
}

SearchView::Content SearchView::wantedContent() const {
    if (queryText_.trimmed().isEmpty()) return Content::suggestions;
    // Text that waits for its first search since the field was blank has nothing of its own to show
    // yet; what the service still holds belongs to an older query.
    if (search_->isSearching() || !searchedSinceCleared_) return Content::searching;
    if (search_->errorMessage()) return Content::error;
    if (!search_->results().empty()) return Content::results;
    return Content::empty;
}

void SearchView::refreshContent() {
    const Content wanted = wantedContent();
    const QString trimmed = queryText_.trimmed();
    switch (wanted) {
    case Content::suggestions:
        content_ = wanted;
        showContent(suggestions_);
        return;
    case Content::results:
        content_ = wanted;
        showContent(results_);
        return;
    case Content::searching:
    case Content::error:
    case Content::empty: break;
    }
    // The other states are made from their inputs, and made again only when those change.
    QString key = QString::number(int(wanted)) + QLatin1Char('\n') + trimmed;
    if (wanted == Content::error) key += QLatin1Char('\n') + *search_->errorMessage() + QLatin1Char('\n') + search_->errorDetails();
    if (wanted == Content::empty) {
        const SearchFindings& findings = search_->findings();
        key += QLatin1Char('\n') + rawText(kind_) + QLatin1Char('\n') + rawText(scope_) + QLatin1Char('\n') + QString::number(findings.goneCount) +
               QLatin1Char('\n') + (findings.indexUpdatedAt ? QString::number(findings.indexUpdatedAt->referenceSeconds(), 'f') : QString());
    }
    if (wanted == content_ && key == shownKey_ && shown_ != suggestions_ && shown_ != results_) return;
    content_ = wanted;
    shownKey_ = key;
    showContent(wanted == Content::searching ? makeSearchingState() : wanted == Content::error ? makeErrorState(*search_->errorMessage(), search_->errorDetails()) : makeEmptyState());
}

void SearchView::showContent(QWidget* widget) {
    if (widget == shown_) return;
    if (shown_) {
        shown_->hide();
        if (shown_ != suggestions_ && shown_ != results_) {
            // It may hold the button whose click brought us here.
            contentLayout_->removeWidget(shown_);
            shown_->deleteLater();
        }
    }
    shown_ = widget;
    if (contentLayout_->indexOf(widget) < 0) contentLayout_->addWidget(widget);
    widget->show();
}

QWidget* SearchView::makeSearchingState() {
    auto* state = new CardModifier(24, 18);
    auto* column = new QVBoxLayout;
    column->setContentsMargins(0, 56, 0, 56);
    column->setSpacing(14);
    auto* spinner = new BusySpinner(ControlSize::regular, DynamicColor::secondary());
    spinner->setObjectName("searchingSpinner");
    column->addWidget(spinner, 0, Qt::AlignHCenter);
    auto* title = new TextLabel(AppLocalization::string("search.searching"), Fonts::system(17, QFont::DemiBold));
    title->setAlignment(Qt::AlignHCenter);
    column->addWidget(title);
    auto* query = new TextLabel(queryText_.trimmed(), Fonts::monospaced(13), DynamicColor::secondary());
    query->setObjectName("searchingQuery");
    query->setAlignment(Qt::AlignHCenter);
    column->addWidget(query);
    state->contentLayout()->addLayout(column);
    return state;
}

QWidget* SearchView::makeErrorState(const QString& message, const QString& details) {
    auto* banner = new Banner(QStringLiteral("exclamationmark.magnifyingglass"), AppLocalization::string("search.error.title"), DisplayText::name(message), DS::orange);
    banner->setObjectName("searchError");
    if (!details.isEmpty()) {
        // The index tool's own words, for whoever mends the index; ours above say what to do.
        auto* toolText = new TextLabel(DisplayText::name(details), Fonts::monospaced(12), DynamicColor::tertiary());
        toolText->setObjectName("searchErrorDetails");
        toolText->setWordWrap(true);
        banner->textsLayout()->addWidget(toolText);
    }
    auto* clear = new StyledButton(AppLocalization::string("search.clear"), {}, SoftButtonStyle{DynamicColor::primary()});
    clear->setObjectName("errorClear");
    connect(clear, &QAbstractButton::clicked, this, [this] { setQueryText({}); });
    auto* retry = new StyledButton(AppLocalization::string("search.error.retry"), {}, TintedButtonStyle{DS::orange});
    retry->setObjectName("errorRetry");
    connect(retry, &QAbstractButton::clicked, this, &SearchView::performSearch);
    banner->actionsLayout()->setSpacing(8);
    banner->actionsLayout()->addWidget(clear);
    banner->actionsLayout()->addWidget(retry);
    return withQuickSearchStrip(banner);
}

QWidget* SearchView::makeEmptyState() {
    auto* empty = new SearchEmptyState(queryText_.trimmed(), kind_, scope_, search_->findings(), Instant::now(), searchTint);
    connect(empty, &SearchEmptyState::allKindsClicked, this, [this] { setKind(SearchKind::all); });
    connect(empty, &SearchEmptyState::everywhereClicked, this, [this] { setScope(SearchScope::everywhere); });
    connect(empty, &SearchEmptyState::clearClicked, this, [this] {
        setQueryText({});
        focusSearchField();
    });
    return withQuickSearchStrip(empty);
}

QWidget* SearchView::withQuickSearchStrip(QWidget* state) {
    auto* holder = new QWidget;
    auto* column = new QVBoxLayout(holder);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(16);
    column->addWidget(state);
    auto* strip = new QuickSearchStrip;
    connect(strip, &QuickSearchStrip::chosen, this, &SearchView::applyQuickSearch);
    column->addWidget(strip);
    return holder;
}
