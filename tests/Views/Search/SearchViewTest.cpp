#include "Models/AppLocalization.h"
#include "Models/TimeFormatting.h"
#include "Platform/SystemRoots.h"
#include "Views/Common/FileActionAlerts.h"
#include "Views/Common/FileActions.h"
#include "Views/Common/BusySpinner.h"
#include "Views/DesignSystem/Banner.h"
#include "Views/DesignSystem/Pill.h"
#include "Views/DesignSystem/SymbolButton.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/PillTabBar.h"
#include "Views/DesignSystem/StyledButton.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/Search/MenuPillLabel.h"
#include "Views/Search/QuickSearchChip.h"
#include "Views/Search/SearchEmptyState.h"
#include "Views/Search/SearchField.h"
#include "Views/Search/SearchFilterBar.h"
#include "Views/Search/SearchIndexNote.h"
#include "Views/Search/SearchResultRow.h"
#include "Views/Search/SearchResultsList.h"
#include "Views/Search/SearchSuggestions.h"
#include "Views/Search/SearchView.h"
#include "Views/Search/SuggestionGrid.h"
#include "Views/Search/SuggestionTile.h"
#include "ViewSupport/FakeSearchService.h"
#include "ViewSupport/ToolsFixture.h"
#include "Support/TempTree.h"
#include "ViewSupport/SearchHits.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Path = std::filesystem::path;
using Content = SearchView::Content;

// A screen over a fake service, shown at a given width.
class SearchScreen : public ::testing::Test {
protected:
    void SetUp() override { make(); }

    void make(int width = 1200) {
        view.reset();
        auto owned = std::make_unique<FakeSearchService>();
        fake = owned.get();
        view = std::make_unique<SearchView>(fixture.state(), std::move(owned));
        view->resize(width, 860);
        view->show();
        QCoreApplication::processEvents();
    }

    void type(const QString& text) {
        // One keystroke at a time, as the user types.
        QTest::keyClicks(view->field()->edit(), text);
    }

    template <typename T>
    std::vector<T*> shown() const {
        std::vector<T*> found;
        for (T* each : view->contentWidget()->findChildren<T*>())
            if (each->isVisibleTo(view.get())) found.push_back(each);
        return found;
    }

    std::vector<QString> buttonTexts() const {
        std::vector<QString> texts;
        if (auto* empty = view->contentWidget()->findChild<SearchEmptyState*>())
            for (StyledButton* button : empty->buttons()) texts.push_back(button->text());
        return texts;
    }

    ToolsFixture fixture;
    FakeSearchService* fake = nullptr;
    std::unique_ptr<SearchView> view;
};

QString localized(const char* key) { return AppLocalization::string(key); }

// Picks the row of the next menu to open, as a user would with the keyboard; notes the rows it saw.
void pickFromNextMenu(const QString& title, std::vector<QString>* rows = nullptr, QString* ticked = nullptr) {
    QTimer::singleShot(0, [=] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        for (QAction* action : menu->actions()) {
            if (rows) rows->push_back(action->text());
            if (ticked && action->isChecked()) *ticked = action->text();
            if (action->text() == title) menu->setActiveAction(action);
        }
        QTest::keyClick(menu, Qt::Key_Return);
    });
}

}  // namespace

TEST_F(SearchScreen, ABurstOfTypingSearchesOnceForTheWholeTextAfterTheDelay) {
    EXPECT_EQ(view->content(), Content::suggestions);
    EXPECT_TRUE(view->field()->edit()->hasFocus());

    type("rep");
    EXPECT_TRUE(fake->calls.empty());  // still waiting
    EXPECT_TRUE(view->isSearchPending());
    // Nothing has been searched for this text yet: no "nothing found" before the search has run.
    EXPECT_EQ(view->content(), Content::searching);

    view->runPendingSearch();
    ASSERT_EQ(fake->calls.size(), 1u);
    EXPECT_EQ(fake->calls[0].text, "rep");
    EXPECT_EQ(fake->calls[0].kind, SearchKind::all);
    EXPECT_EQ(fake->calls[0].scope, SystemRoots::current().home);  // the home folder at first
    EXPECT_FALSE(view->isSearchPending());

    // The text goes to the service as typed; the searching state shows it trimmed.
    view->setQueryText("  rep  ");
    view->runPendingSearch();
    EXPECT_EQ(fake->calls.back().text, "  rep  ");
    EXPECT_EQ(view->contentWidget()->findChild<TextLabel*>("searchingQuery")->text(), "rep");
    EXPECT_TRUE(view->field()->spinner()->isVisibleTo(view.get()));
    // The searching state's spinner is the regular one; the field's, the small one.
    auto* spinner = view->contentWidget()->findChild<BusySpinner*>("searchingSpinner");
    ASSERT_NE(spinner, nullptr);
    EXPECT_EQ(spinner->controlSize(), ControlSize::regular);
    EXPECT_EQ(view->field()->spinner()->controlSize(), ControlSize::small);

    // Return searches at once, and the pending delayed search still follows with the same text.
    type("o");
    QTest::keyClick(view->field()->edit(), Qt::Key_Return);
    EXPECT_EQ(fake->calls.size(), 3u);
    EXPECT_TRUE(view->isSearchPending());
    view->runPendingSearch();
    EXPECT_EQ(fake->calls.size(), 4u);
    EXPECT_EQ(fake->calls[2].text, fake->calls[3].text);
}

TEST_F(SearchScreen, KindAndScopeChangesSearchAtOnceWithTheNewestValues) {
    fixture.state().setScanRoot("/fixture/scanned");
    type("notes");
    // A change of kind inside the typing delay searches at once with the text typed so far...
    view->filters()->kindBar()->setSelection("documents");
    emit view->filters()->kindBar()->selectionChanged("documents");
    ASSERT_EQ(fake->calls.size(), 1u);
    EXPECT_EQ(fake->calls[0].text, "notes");
    EXPECT_EQ(fake->calls[0].kind, SearchKind::documents);
    // ...and the delayed search, when it comes, uses the kind in force then, not the one of the keystroke.
    view->setScope(SearchScope::scanFolder);
    EXPECT_EQ(fake->calls.size(), 2u);
    EXPECT_EQ(fake->calls[1].scope, Path("/fixture/scanned"));
    view->runPendingSearch();
    ASSERT_EQ(fake->calls.size(), 3u);
    EXPECT_EQ(fake->calls[2].kind, SearchKind::documents);
    EXPECT_EQ(fake->calls[2].scope, Path("/fixture/scanned"));

    // The scan folder is read when the search starts.
    fixture.state().setScanRoot("/fixture/other");
    EXPECT_EQ(fake->calls.size(), 3u);  // a new scan folder alone starts nothing
    view->setScope(SearchScope::everywhere);
    EXPECT_EQ(fake->calls.back().scope, std::nullopt);
    view->setScope(SearchScope::scanFolder);
    EXPECT_EQ(fake->calls.back().scope, Path("/fixture/other"));

    // Choosing what is already chosen starts nothing.
    const std::size_t before = fake->calls.size();
    view->setScope(SearchScope::scanFolder);
    emit view->filters()->kindBar()->selectionChanged("documents");
    EXPECT_EQ(fake->calls.size(), before);

    // A stale answer of an older search never replaces the newest one's.
    fake->finish(0, {searchHit("/old/notes.txt", 10)});
    EXPECT_EQ(view->content(), Content::searching);
    fake->finishLatest({searchHit("/new/notes.odt", 20)});
    EXPECT_EQ(view->content(), Content::results);
    ASSERT_EQ(view->resultsList()->shownHits().size(), 1u);
    EXPECT_EQ(view->resultsList()->shownHits()[0].path, Path("/new/notes.odt"));

    // The sort order re-sorts what is shown and runs no search.
    view->setSortOrder(SearchSort::name);
    EXPECT_EQ(fake->calls.size(), before);
}

TEST_F(SearchScreen, ClearingStopsTheSearchAndOlderResultsNeverShowForNewText) {
    type("photo");
    view->runPendingSearch();
    fake->finishLatest({searchHit("/p/photo.png", 5)});
    ASSERT_EQ(view->content(), Content::results);

    // Typing on keeps the results of the last query during the wait.
    type("s");
    EXPECT_EQ(view->content(), Content::results);
    view->runPendingSearch();
    EXPECT_EQ(view->content(), Content::searching);

    // The clear button empties the field, stops the search, keeps the focus and shows the suggestions.
    const int stops = *fake->stops;
    view->field()->edit()->clearFocus();
    QTest::mouseClick(view->field()->clearButton(), Qt::LeftButton);
    EXPECT_TRUE(view->queryText().isEmpty());
    EXPECT_GT(*fake->stops, stops);
    EXPECT_FALSE(fake->isSearching());
    EXPECT_FALSE(view->isSearchPending());
    EXPECT_EQ(view->content(), Content::suggestions);
    EXPECT_TRUE(view->field()->edit()->hasFocus());
    EXPECT_FALSE(view->field()->clearButton()->isVisibleTo(view.get()));

    // Spaces alone are blank: suggestions, a stop, and no search after the delay.
    type("  ");
    EXPECT_EQ(view->content(), Content::suggestions);
    EXPECT_FALSE(view->isSearchPending());
    EXPECT_TRUE(view->field()->clearButton()->isVisibleTo(view.get()));

    // New text after a clear does not bring back the hits of the query before it.
    view->setQueryText("");
    fake->finishLatest({searchHit("/late/answer", 1)});  // the stopped search is stale and publishes nothing
    type("x");
    EXPECT_EQ(view->content(), Content::searching);
    view->runPendingSearch();
    fake->finishLatest({});
    EXPECT_EQ(view->content(), Content::empty);

    // Ctrl+F brings the focus back from anywhere on the screen.
    QApplication::setActiveWindow(view.get());
    view->field()->edit()->clearFocus();
    ASSERT_FALSE(view->field()->edit()->hasFocus());
    QTest::keyClick(view.get(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(view->field()->edit()->hasFocus());

    // Leaving the section stops a search still running.
    type("y");
    view->runPendingSearch();
    ASSERT_TRUE(fake->isSearching());
    const std::shared_ptr<int> stopsSeen = fake->stops;
    const int before = *stopsSeen;
    view.reset();
    EXPECT_GT(*stopsSeen, before);
}

TEST_F(SearchScreen, AQuickSearchAppliedTwiceStartsNothingTheSecondTime) {
    const QuickSearch& screenshots = QuickSearch::all()[0];
    view->applyQuickSearch(screenshots);
    EXPECT_EQ(view->kind(), SearchKind::images);
    EXPECT_EQ(view->queryText(), "Screenshot");
    // The kind changed while the field was blank: the service was told and cleared, nothing ran.
    EXPECT_TRUE(fake->calls.empty());
    EXPECT_EQ(fake->blankSearches, 1);
    view->runPendingSearch();
    ASSERT_EQ(fake->calls.size(), 1u);
    EXPECT_EQ(fake->calls[0].kind, SearchKind::images);

    view->applyQuickSearch(screenshots);
    EXPECT_FALSE(view->isSearchPending());
    EXPECT_EQ(fake->calls.size(), 1u);
    EXPECT_EQ(fake->blankSearches, 1);

    // Installers keep the kind "all": only the text changes, so only the delayed search runs.
    view->setKind(SearchKind::all);
    const std::size_t before = fake->calls.size();
    const QuickSearch& installers = QuickSearch::all()[1];
    EXPECT_EQ(installers.query, ".deb");
    EXPECT_EQ(installers.detail, QString::fromUtf8("DEB \u00B7 RPM"));
    view->applyQuickSearch(installers);
    EXPECT_EQ(fake->calls.size(), before);
    view->runPendingSearch();
    EXPECT_EQ(fake->calls.back().text, ".deb");

    // The tiles and the chips offer the four in table order, each caption as written.
    view->setQueryText("");
    const auto& tiles = view->suggestions()->grid()->tiles();
    ASSERT_EQ(tiles.size(), 4u);
    const char* ids[] = {"screenshots", "installers", "archives", "pdfs"};
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(tiles[i]->item().id, ids[i]);
    EXPECT_EQ(tiles[0]->item().detail, QString::fromUtf8("PNG \u00B7 JPG"));
    QTest::mouseClick(tiles[3], Qt::LeftButton);
    EXPECT_EQ(view->kind(), SearchKind::documents);
    EXPECT_EQ(view->queryText(), ".pdf");
}

TEST_F(SearchScreen, EmptyStateOffersToWidenTheSearch) {
    struct Case {
        SearchKind kind;
        SearchScope scope;
        std::vector<QString> buttons;
        bool firstTinted;
    };
    const std::vector<Case> cases{
        {SearchKind::all, SearchScope::everywhere, {localized("search.clear")}, true},
        {SearchKind::images, SearchScope::everywhere, {localized("search.allTypes"), localized("search.clear")}, true},
        {SearchKind::all, SearchScope::home, {localized("search.everywhere"), localized("search.clear")}, true},
        {SearchKind::archives, SearchScope::scanFolder, {localized("search.allTypes"), localized("search.everywhere"), localized("search.clear")}, true},
    };
    for (const Case& each : cases) {
        make();
        view->setKind(each.kind);
        view->setScope(each.scope);
        view->setQueryText("  missing-file   ");
        view->runPendingSearch();
        fake->finishLatest({});
        ASSERT_EQ(view->content(), Content::empty);
        EXPECT_EQ(buttonTexts(), each.buttons);
        auto* empty = view->contentWidget()->findChild<SearchEmptyState*>();
        EXPECT_TRUE(empty->titleText().contains("missing-file"));
        EXPECT_FALSE(empty->titleText().contains("  "));
        for (std::size_t i = 0; i < empty->buttons().size(); ++i)
            EXPECT_EQ(std::holds_alternative<TintedButtonStyle>(empty->buttons()[i]->buttonStyle()), i == 0);
    }

    // "Search everywhere" widens at once; clearing gives the field the focus.
    make();
    view->setKind(SearchKind::images);
    type("missing");
    view->runPendingSearch();
    fake->finishLatest({});
    auto* empty = view->contentWidget()->findChild<SearchEmptyState*>();
    QTest::mouseClick(empty->buttons()[1], Qt::LeftButton);
    EXPECT_EQ(view->scope(), SearchScope::everywhere);
    EXPECT_EQ(fake->calls.back().scope, std::nullopt);
    fake->finishLatest({});
    empty = view->contentWidget()->findChild<SearchEmptyState*>();
    QTest::mouseClick(empty->buttons()[0], Qt::LeftButton);
    EXPECT_EQ(view->kind(), SearchKind::all);
    fake->finishLatest({});
    empty = view->contentWidget()->findChild<SearchEmptyState*>();
    view->field()->edit()->clearFocus();
    QTest::mouseClick(empty->buttons().back(), Qt::LeftButton);
    EXPECT_EQ(view->content(), Content::suggestions);
    EXPECT_TRUE(view->field()->edit()->hasFocus());
}

TEST_F(SearchScreen, ErrorStateShowsTheServicesMessageAndRetries) {
    const QString message = "plocate: /var/lib/plocate/plocate.db: <b>No such file</b>";
    type("report");
    view->runPendingSearch();
    fake->fail(0, message);
    ASSERT_EQ(view->content(), Content::error);
    auto* banner = view->contentWidget()->findChild<Banner*>("searchError");
    ASSERT_NE(banner, nullptr);
    std::vector<QString> texts;
    for (TextLabel* label : banner->findChildren<TextLabel*>()) texts.push_back(label->text());
    EXPECT_NE(std::find(texts.begin(), texts.end(), message), texts.end());  // shown as it is, never as markup

    EXPECT_EQ(banner->findChild<TextLabel*>("searchErrorDetails"), nullptr);  // no tool text, no line for it

    // Typing on keeps the old message during the wait.
    type("s");
    EXPECT_EQ(view->content(), Content::error);

    QTest::mouseClick(view->contentWidget()->findChild<StyledButton*>("errorRetry"), Qt::LeftButton);
    EXPECT_EQ(fake->calls.back().text, "reports");
    EXPECT_EQ(view->content(), Content::searching);
    fake->fail(fake->calls.size() - 1, QString::fromUtf8("plocate: /srv/a\u202Efdp.exe: Permission denied"));
    EXPECT_EQ(view->content(), Content::error);
    QStringList shown;
    for (TextLabel* label : view->contentWidget()->findChild<Banner*>("searchError")->findChildren<TextLabel*>()) shown << label->text();
    EXPECT_TRUE(shown.contains("plocate: /srv/a[U+202E]fdp.exe: Permission denied")) << shown.join('|').toStdString();

    // Clear in the error state does not move the focus.
    view->setQueryText("reports");
    view->field()->edit()->clearFocus();
    QTest::mouseClick(view->contentWidget()->findChild<StyledButton*>("errorClear"), Qt::LeftButton);
    EXPECT_EQ(view->content(), Content::suggestions);
    EXPECT_FALSE(view->field()->edit()->hasFocus());
}

// A damaged index: the app's words with the mend in the banner, plocate's own text beneath them.
TEST_F(SearchScreen, ADamagedIndexShowsTheMendAndTheToolsText) {
    type("report");
    view->runPendingSearch();
    const QString toolText = "/var/lib/plocate/plocate.db: database is corrupt or not a plocate database; please rebuild it.";
    fake->fail(0, AppLocalization::string("search.indexDamaged"), toolText);
    ASSERT_EQ(view->content(), Content::error);
    auto* banner = view->contentWidget()->findChild<Banner*>("searchError");
    ASSERT_NE(banner, nullptr);
    QStringList texts;
    for (TextLabel* label : banner->findChildren<TextLabel*>()) texts << label->text();
    EXPECT_TRUE(texts.contains(AppLocalization::string("search.indexDamaged"))) << texts.join('|').toStdString();
    auto* details = banner->findChild<TextLabel*>("searchErrorDetails");
    ASSERT_NE(details, nullptr);
    EXPECT_EQ(details->text(), toolText);
    EXPECT_TRUE(details->isVisibleTo(view.get()));
}

TEST_F(SearchScreen, ResultsListCountsSortsAndSaysWhenTheCapIsReached) {
    type("file");
    view->runPendingSearch();
    std::vector<SearchHit> hits{searchHit("/a/file10", 0), searchHit("/b/File2", 5), searchHit("/c/file1", 0), searchHit("/d/FILE2", 5)};
    hits[1].modifiedAt = Instant::fromUnixSeconds(1'700'000'000);
    hits[2].modifiedAt = Instant::fromUnixSeconds(1'800'000'000);
    fake->finishLatest(hits);
    ASSERT_EQ(view->content(), Content::results);
    SearchResultsList* list = view->resultsList();
    EXPECT_EQ(list->countText(), AppLocalization::format("search.resultCount", {qlonglong(4)}));
    EXPECT_FALSE(list->showsCapNote());

    const auto names = [&] {
        std::vector<std::string> shown;
        for (const SearchHit& each : list->shownHits()) shown.push_back(each.path.filename());
        return shown;
    };
    EXPECT_EQ(names(), (std::vector<std::string>{"File2", "FILE2", "file10", "file1"}));
    // Rows are made within a time budget per turn, so a slow build makes them over several turns.
    ASSERT_TRUE(waitUntil([&] { return list->builtRowCount() >= 4; }));
    EXPECT_TRUE(list->row(0)->isVisibleTo(view.get()));

    view->setSortOrder(SearchSort::name);
    EXPECT_EQ(names(), (std::vector<std::string>{"file1", "File2", "FILE2", "file10"}));
    view->setSortOrder(SearchSort::modified);
    EXPECT_EQ(names(), (std::vector<std::string>{"file1", "File2", "file10", "FILE2"}));
    EXPECT_EQ(list->countText(), AppLocalization::format("search.resultCount", {qlonglong(4)}));

    // Exactly 500 files matched: all are listed, and no cap is spoken of.
    type("s");
    view->runPendingSearch();
    SearchFindings found;
    for (int i = 0; i < 500; ++i) found.hits.push_back(searchHit("/m/files" + std::to_string(i), i));
    fake->finishLatestWith(found);
    EXPECT_FALSE(list->showsCapNote());
    // When the service saw more than it lists, the list says so plainly.
    view->performSearch();
    found.hasMore = true;
    fake->finishLatestWith(found);
    EXPECT_TRUE(list->showsCapNote());
}

// Beside the results, and under a search that found nothing: how old the index is, and when matches
// it lists are gone from the disk, that it is older than the files and how to refresh it.
TEST_F(SearchScreen, TheIndexsAgeAndItsGoneMatchesAreSaid) {
    const Instant twoDaysAgo = Instant::now().addingSeconds(-2 * 86400 - 60);
    const QString age = AppLocalization::format("search.indexAge", {TimeFormatting::relative(twoDaysAgo, Instant::now(), AppLocalization::activeLocale())});
    const QString gone = AppLocalization::format("search.goneFromDisk", {qlonglong(12)});
    ASSERT_TRUE(gone.contains("sudo updatedb"));
    const auto shownNote = [&]() -> QString {
        for (SearchIndexNote* note : view->contentWidget()->findChildren<SearchIndexNote*>("indexNote"))
            if (note->isVisibleTo(view.get())) return note->text();
        return "<none>";
    };

    type("report");
    view->runPendingSearch();
    SearchFindings found;
    found.hits = {searchHit("/a/report.pdf", 10)};
    found.indexUpdatedAt = twoDaysAgo;
    fake->finishLatestWith(found);
    ASSERT_EQ(view->content(), Content::results);
    EXPECT_EQ(shownNote(), age);

    view->performSearch();
    found.goneCount = 12;
    fake->finishLatestWith(found);
    EXPECT_EQ(shownNote(), age + " " + gone);

    // All the index's matches gone: the empty state says why nothing shows.
    view->performSearch();
    found.hits.clear();
    fake->finishLatestWith(found);
    ASSERT_EQ(view->content(), Content::empty);
    EXPECT_EQ(shownNote(), age + " " + gone);

    // An index dated after now (the clock put back since) gives its date, not an age; none dated, no note.
    view->performSearch();
    found.goneCount = 0;
    found.indexUpdatedAt = Instant::now().addingSeconds(3 * 86400);
    fake->finishLatestWith(found);
    EXPECT_EQ(shownNote(), AppLocalization::format("search.indexAgeUnknown", {TimeFormatting::dayMonthYear(*found.indexUpdatedAt, AppLocalization::activeLocale())}));
    view->performSearch();
    fake->finishLatestWith(SearchFindings{});
    EXPECT_EQ(view->content(), Content::empty);
    EXPECT_EQ(shownNote(), "<none>");
}

TEST_F(SearchScreen, HoverFollowsThePointerFromRowToRow) {
    type("a");
    view->runPendingSearch();
    fake->finishLatest({searchHit("/a/a1", 3), searchHit("/a/a2", 2), searchHit("/a/a3", 1)});
    SearchResultsList* list = view->resultsList();
    ASSERT_TRUE(waitUntil([&] { return list->builtRowCount() >= 2; }));
    SearchResultRow* first = list->row(0);
    SearchResultRow* second = list->row(1);
    // Entering the next row may be reported before leaving the last one.
    emit first->hoverChanged(true);
    emit second->hoverChanged(true);
    emit first->hoverChanged(false);
    EXPECT_FALSE(first->isHighlighted());
    EXPECT_TRUE(second->isHighlighted());
    emit second->hoverChanged(false);
    EXPECT_FALSE(second->isHighlighted());
    EXPECT_FALSE(list->hovered().has_value());
}

TEST_F(SearchScreen, AFileGoneSinceTheSearchStillListsAndItsActionsStayQuiet) {
    TempTree tree;
    const Path kept = tree.file("kept.txt", 10);
    const Path gone = tree.path() / "gone.txt";
    std::vector<QUrl> opened;
    std::vector<Path> revealed;
    FileActions::setDesktop({[&](const QUrl& url) {
                                 opened.push_back(url);
                                 return true;
                             },
                             [&](const Path& path, std::function<void(bool)> done) {
                                 revealed.push_back(path);
                                 done(true);
                             }});
    QSignalSpy alerts(&FileActionAlerts::shared(), &FileActionAlerts::failed);

    type("txt");
    view->runPendingSearch();
    fake->finishLatest({searchHit(gone, 4096), searchHit(kept, 4096)});
    SearchResultsList* list = view->resultsList();
    ASSERT_TRUE(waitUntil([&] { return list->builtRowCount() == 2; }));
    SearchResultRow* goneRow = list->row(0)->hit().path == gone ? list->row(0) : list->row(1);
    SearchResultRow* keptRow = goneRow == list->row(0) ? list->row(1) : list->row(0);
    view->setSortOrder(SearchSort::name);
    view->setSortOrder(SearchSort::modified);  // neither has a date: the service's order stays
    EXPECT_EQ(list->shownHits()[0].path, gone);

    goneRow->open();
    goneRow->reveal();
    EXPECT_TRUE(opened.empty());
    EXPECT_TRUE(revealed.empty());
    EXPECT_EQ(alerts.count(), 0);
    goneRow->copyPath();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromStdString(gone.string()));

    QTest::mouseDClick(keptRow, Qt::LeftButton);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].toLocalFile(), QString::fromStdString(kept.string()));
    keptRow->reveal();
    EXPECT_EQ(revealed, std::vector<Path>{kept});
    FileActions::setDesktop({});
}

TEST_F(SearchScreen, CardTakesThreeLayoutsByWidthAndNeverSqueezesThePills) {
    SearchFilterBar* bar = view->filters();
    using Arrangement = SearchFilterBar::Arrangement;
    const int oneRow = bar->idealWidth(Arrangement::oneRow);
    const int pillsAbove = bar->idealWidth(Arrangement::pillsAbove);
    ASSERT_GT(oneRow, pillsAbove);
    ASSERT_GT(pillsAbove, bar->idealWidth(Arrangement::menus));

    for (auto [width, expected] : {std::pair{oneRow, Arrangement::oneRow}, std::pair{oneRow - 1, Arrangement::pillsAbove},
                                   std::pair{pillsAbove, Arrangement::pillsAbove}, std::pair{pillsAbove - 1, Arrangement::menus}}) {
        bar->resize(width, bar->heightForWidth(width));
        EXPECT_EQ(bar->arrangement(), expected) << width;
        EXPECT_EQ(bar->kindBar()->isVisibleTo(bar), expected != Arrangement::menus);
        EXPECT_EQ(bar->kindMenu()->isVisibleTo(bar), expected == Arrangement::menus);
        for (QWidget* part : {static_cast<QWidget*>(bar->kindBar()), static_cast<QWidget*>(bar->kindMenu()),
                              static_cast<QWidget*>(bar->scopeMenu()), static_cast<QWidget*>(bar->privacyPill())}) {
            if (!part->isVisibleTo(bar)) continue;
            EXPECT_EQ(part->size(), part->sizeHint()) << width;  // at its natural size
            EXPECT_TRUE(bar->rect().contains(part->geometry())) << width;  // and not cut
        }
    }
    EXPECT_EQ(bar->kindMenu()->tint(), DS::blue);
    EXPECT_EQ(bar->scopeMenu()->tint(), DynamicColor::primary());

    // The screen itself at a wide and a narrow window.
    EXPECT_EQ(bar->arrangement(), Arrangement::menus);
    make(1400);
    EXPECT_EQ(view->filters()->arrangement(), Arrangement::oneRow);
    make(560);
    EXPECT_EQ(view->filters()->arrangement(), Arrangement::menus);
}

TEST_F(SearchScreen, RightToLeftMirrorsTheCardAndTheSuggestions) {
    view->setLayoutDirection(Qt::RightToLeft);
    view->resize(1400, 860);
    QCoreApplication::processEvents();
    SearchFilterBar* bar = view->filters();
    ASSERT_EQ(bar->arrangement(), SearchFilterBar::Arrangement::oneRow);
    // The kinds lead on the right, the privacy pill ends on the left.
    EXPECT_EQ(bar->kindBar()->geometry().right(), bar->rect().right());
    EXPECT_EQ(bar->privacyPill()->geometry().left(), 0);
    EXPECT_LT(bar->scopeMenu()->geometry().left(), bar->kindBar()->geometry().left());

    // The tips card keeps its width; the quick card takes the rest.
    QWidget* tips = view->suggestions()->findChild<QWidget*>("tipsCard");
    QWidget* quick = view->suggestions()->findChild<QWidget*>("quickCard");
    EXPECT_EQ(tips->width(), 290);
    EXPECT_LT(tips->geometry().left(), quick->geometry().left());
    const auto& tiles = view->suggestions()->grid()->tiles();
    EXPECT_GT(tiles[0]->geometry().left(), tiles[1]->geometry().left());
}

TEST_F(SearchScreen, MenusChooseTheKindTheScopeAndTheOrder) {
    make(560);  // narrow: the kinds are a menu
    type("clip");
    // The typed text's own search first: left pending, it would start again while a later menu is
    // open on a machine slow enough to spend 280 ms here, and take the results away.
    view->runPendingSearch();
    std::vector<QString> rows;
    QString ticked;
    pickFromNextMenu(localized("search.kind.video"), &rows, &ticked);
    QTest::mouseClick(view->filters()->kindMenu(), Qt::LeftButton);
    EXPECT_EQ(rows, (std::vector<QString>{localized("search.kind.all"), localized("search.kind.images"), localized("search.kind.video"),
                                          localized("search.kind.audio"), localized("search.kind.documents"), localized("search.kind.archives")}));
    EXPECT_EQ(ticked, localized("search.kind.all"));
    EXPECT_EQ(view->kind(), SearchKind::video);
    ASSERT_EQ(fake->calls.size(), 2u);
    EXPECT_EQ(fake->calls[1].kind, SearchKind::video);
    EXPECT_EQ(view->filters()->kindMenu()->text(), localized("search.kind.video"));

    pickFromNextMenu(localized("search.scope.everywhere"));
    QTest::mouseClick(view->filters()->scopeMenu(), Qt::LeftButton);
    EXPECT_EQ(view->scope(), SearchScope::everywhere);
    EXPECT_EQ(fake->calls.back().scope, std::nullopt);

    fake->finishLatest({searchHit("/v/b-clip.mkv", 2), searchHit("/v/a-clip.mp4", 1)});
    ASSERT_EQ(view->resultsList()->shownHits().size(), 2u);
    EXPECT_EQ(view->resultsList()->shownHits()[0].path, Path("/v/b-clip.mkv"));
    pickFromNextMenu(localized("search.sort.name"));
    QTest::mouseClick(view->resultsList()->sortMenu(), Qt::LeftButton);
    EXPECT_EQ(view->sortOrder(), SearchSort::name);
    ASSERT_EQ(view->resultsList()->shownHits().size(), 2u);  // the order changed, the results stayed
    EXPECT_EQ(view->resultsList()->shownHits()[0].path, Path("/v/a-clip.mp4"));
    EXPECT_EQ(fake->calls.size(), 3u);
}
