#include "Models/AppLocalization.h"
#include "Models/TextKey.h"
#include "Models/TimeFormatting.h"
#include "Platform/SettingsStore.h"
#include "Views/Common/DashboardPage.h"
#include "Views/Common/PlainToolTip.h"
#include "Views/DesignSystem/IconImageView.h"
#include "Views/DesignSystem/AreaTrend.h"
#include "Views/DesignSystem/Banner.h"
#include "Views/DesignSystem/Pill.h"
#include "Views/DesignSystem/PillTabBar.h"
#include "Views/DesignSystem/RankedRow.h"
#include "Views/DesignSystem/StatTile.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/DesignSystem/ThinBar.h"
#include "Views/DesignSystem/ToggleSwitch.h"
#include "Views/Tools/DeveloperCleanupView.h"
#include "Views/Tools/ForgottenFilesView.h"
#include "Views/Tools/LazyRowStack.h"
#include "Views/Tools/SmartCleanupView.h"
#include "Views/Tools/StartupItemRow.h"
#include "Views/Tools/StartupItemsView.h"
#include "Views/Tools/StorageHistoryContent.h"
#include "Views/Tools/StorageHistoryView.h"
#include "Views/Tools/ToolCheckBox.h"
#include "Views/Tools/ToolTexts.h"
#include "Views/Tools/ToolsEmptyCard.h"
#include "Views/Tools/ToolsItemRow.h"
#include "Views/Tools/ToolsTrashButton.h"
#include "Views/Tools/ToolsView.h"
#include "ViewSupport/ToolsFixture.h"
#include "ViewSupport/Clicks.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <QMessageBox>

#include <fstream>
#include <map>

namespace {

using Path = std::filesystem::path;

template <typename View>
void showIn(View& view) {
    view.resize(1100, 800);
    view.show();
    QCoreApplication::processEvents();
}

std::vector<CleanupCandidate> cleanupList() {
    return {ToolsFixture::candidate("/c/cache", 300, CleanupSafety::safe), ToolsFixture::candidate("/c/logs", 100, CleanupSafety::safe),
            ToolsFixture::candidate("/c/setup.deb", 600, CleanupSafety::review, "cleanup.installers.detail")};
}

// Rows are made within a time budget per turn of the event loop: on a slow machine even a short
// list takes more than one turn, so a row not made yet is waited for.
QWidget* builtRow(LazyRowStack* rows, std::size_t index) {
    waitUntil([&] { return rows->builtCount() > index; });
    return rows->row(index);
}

ToolsItemRow* itemRow(LazyRowStack* rows, std::size_t index) { return static_cast<ToolsItemRow*>(builtRow(rows, index)); }

// The note of a row that frees less than its size: its accessory, or beside it.
Pill* freedNote(ToolsItemRow* row) {
    QWidget* accessory = row->accessory();
    if (!accessory || accessory->objectName() == "freedNote") return qobject_cast<Pill*>(accessory);
    return accessory->findChild<Pill*>("freedNote");
}

// One name of a conda package's library of 75.5 MB, whose other name lies in an environment.
ScannedFile condaName(const Path& path) {
    FileIdentity twoNames;
    twoNames.device = 3;
    twoNames.inode = 9;
    twoNames.links = 2;
    ScannedFile file = ToolsFixture::file(path, 75'500'000);
    file.identity = twoNames;
    return file;
}

bool labelSays(QWidget* widget, const QString& text) {
    for (const TextLabel* label : widget->findChildren<TextLabel*>())
        if (label->text() == text) return true;
    return false;
}

}  // namespace

TEST(CleanupPanes, TrashAndScanButtonsWaitWhileAnyToolWorks) {
    ToolsFixture fixture;
    fixture.loadCleanup(cleanupList());
    fixture.loadDeveloper({ToolsFixture::candidate("/dev/npm", 50, CleanupSafety::safe)});
    fixture.findForgotten({ToolsFixture::file("/f/old.iso", 20'000'000)});
    fixture.state().setSelectedToolItems({"/c/cache", "/dev/npm", "/f/old.iso"});
    SmartCleanupView cleanup(fixture.state());
    DeveloperCleanupView developer(fixture.state());
    ForgottenFilesView forgotten(fixture.state(), DynamicColor::primary());
    for (QWidget* view : std::initializer_list<QWidget*>{&cleanup, &developer, &forgotten}) {
        view->resize(1100, 800);
        view->show();
    }
    EXPECT_TRUE(cleanup.trashButton()->isEnabled());
    EXPECT_TRUE(developer.trashButton()->isEnabled());
    EXPECT_TRUE(forgotten.trashButton()->isEnabled());

    // A duplicate search elsewhere holds the busy flag: nothing here may start or move.
    fixture.startDuplicates();
    for (QAbstractButton* button : {static_cast<QAbstractButton*>(cleanup.trashButton()), cleanup.scanButton(),
                                    static_cast<QAbstractButton*>(developer.trashButton()), developer.scanButton(),
                                    static_cast<QAbstractButton*>(forgotten.trashButton()), forgotten.scanButton()})
        EXPECT_FALSE(button->isEnabled()) << button->objectName().toStdString();
    click(cleanup.scanButton());
    EXPECT_EQ(fixture.fake.cleanupLoads.size(), 1u);

    fixture.state().cancelDuplicateScan();
    fixture.state().setSelectedToolItems({"/c/cache"});  // the search had emptied the shared selection
    EXPECT_TRUE(cleanup.trashButton()->isEnabled());
    EXPECT_TRUE(cleanup.scanButton()->isEnabled());
    EXPECT_TRUE(forgotten.scanButton()->isEnabled());
}

TEST(CleanupPanes, PlanFiguresFollowTheSelectionOfThisListOnly) {
    ToolsFixture fixture;
    fixture.loadCleanup(cleanupList());  // preselects the safe ones
    SmartCleanupView view(fixture.state());
    showIn(view);
    EXPECT_EQ(view.selectedFigures().freed, 400);
    EXPECT_EQ(view.selectedTile()->valueLabel()->text(), ToolTexts::bytes(400));
    EXPECT_TRUE(itemRow(view.rows(), 0)->isOn());
    EXPECT_FALSE(itemRow(view.rows(), 2)->isOn());
    EXPECT_TRUE(itemRow(view.rows(), 0)->isHighlighted());

    // Entries of other tools in the shared set do not count.
    std::set<std::string> items = fixture.state().selectedToolItems();
    items.insert("/d/some/duplicate");
    fixture.state().setSelectedToolItems(items);
    EXPECT_EQ(view.selectedFigures().freed, 400);

    click(itemRow(view.rows(), 2));
    EXPECT_TRUE(fixture.state().selectedToolItems().contains("/c/setup.deb"));
    EXPECT_EQ(view.selectedTile()->valueLabel()->text(), ToolTexts::bytes(1000));
    click(itemRow(view.rows(), 2)->checkBox());
    EXPECT_FALSE(fixture.state().selectedToolItems().contains("/c/setup.deb"));

    // All under review: nothing preselected, a safe count of 0 and an empty selected bar.
    fixture.loadCleanup({ToolsFixture::candidate("/c/a.deb", 5, CleanupSafety::review)});
    EXPECT_EQ(view.selectedFigures().freed, 0);
    EXPECT_FALSE(view.trashButton()->isEnabled());
}

// A row for review says why on its line, in the language chosen, and naming what holds it.
TEST(CleanupPanes, ReviewRowsSayWhy) {
    ToolsFixture fixture;
    CleanupCandidate held = ToolsFixture::candidate("/c/evolution", 500, CleanupSafety::review);
    held.reason = CleanupReason::inUse;
    held.reasonDetail = QStringLiteral("evolution-source-registry");
    CleanupCandidate whole = ToolsFixture::candidate("/c/pypoetry", 400, CleanupSafety::review);
    whole.reason = CleanupReason::holdsWhole;
    whole.reasonDetail = QStringLiteral("cleanup.whole.environment");
    CleanupCandidate kept = ToolsFixture::candidate("/c/JetBrains", 200, CleanupSafety::review);
    kept.reason = CleanupReason::notRebuilt;
    fixture.loadCleanup({held, whole, ToolsFixture::candidate("/c/cache", 300, CleanupSafety::safe), kept});
    SmartCleanupView view(fixture.state());
    showIn(view);
    auto line = [&](std::size_t index) {
        QStringList texts;
        for (const TextLabel* label : itemRow(view.rows(), index)->findChildren<TextLabel*>()) texts << label->text();
        return texts.join(QLatin1Char('|'));
    };
    EXPECT_TRUE(line(0).contains(AppLocalization::format("cleanup.reason.inUse", {QStringLiteral("evolution-source-registry")}))) << line(0).toStdString();
    EXPECT_TRUE(line(1).contains(AppLocalization::format("cleanup.reason.whole", {AppLocalization::string("cleanup.whole.environment")})))
        << line(1).toStdString();
    EXPECT_TRUE(line(2).contains(AppLocalization::string("cleanup.cache.detail")));
    EXPECT_FALSE(itemRow(view.rows(), 0)->isOn());
    EXPECT_FALSE(itemRow(view.rows(), 1)->isOn());
    EXPECT_TRUE(itemRow(view.rows(), 2)->isOn());
    // However narrow the row, the whole reason is there to read.
    const QString reason = AppLocalization::string("cleanup.reason.notRebuilt");
    view.resize(360, view.height());
    QCoreApplication::processEvents();
    const auto labels = itemRow(view.rows(), 3)->findChildren<TextLabel*>();
    const auto shown = std::find_if(labels.begin(), labels.end(), [&](const TextLabel* label) { return label->text() == reason; });
    ASSERT_NE(shown, labels.end()) << line(3).toStdString();
    EXPECT_TRUE((*shown)->isCut());
    EXPECT_EQ((*shown)->toolTip(), plainToolTip(reason));
}

TEST(CleanupPanes, FirstShowLoadsOnceAndTheDeveloperPaneUsesItsOwnEmptyTexts) {
    ToolsFixture fixture;
    ToolsView tools(fixture.state());
    showIn(tools);
    tools.selectTool(ValueTool::developer);
    QCoreApplication::processEvents();
    ASSERT_TRUE(waitUntil([&] { return fixture.fake.developerLoads.size() == 1; }));
    auto* pane = qobject_cast<DeveloperCleanupView*>(tools.detail());
    ASSERT_NE(pane, nullptr);
    EXPECT_TRUE(pane->emptyCard()->isWorking());
    EXPECT_EQ(pane->emptyCard()->titleText(), AppLocalization::string("tools.scanning"));
    EXPECT_EQ(pane->emptyCard()->detailText(), AppLocalization::string("developer.empty.detail"));
    // Away and back while the load still runs: no second load.
    tools.selectTool(ValueTool::history);
    tools.selectTool(ValueTool::developer);
    QCoreApplication::processEvents();
    ASSERT_TRUE(settle(fixture.state(), fixture.fake));
    EXPECT_EQ(fixture.fake.developerLoads.size(), 1u);
    fixture.fake.developerLoads[0]->succeed({});
    ASSERT_TRUE(waitUntil([&] { return !fixture.state().isToolWorking(); }));
    pane = qobject_cast<DeveloperCleanupView*>(tools.detail());
    EXPECT_EQ(pane->emptyCard()->titleText(), AppLocalization::string("developer.empty"));
}

// Opened while a duplicate search runs, a cleanup list that could not look says it waits, never
// that there is nothing; it loads by itself once the search ends. A search cancelled instead does
// the same, and Forgotten Files says it has not looked until a search ends.
TEST(CleanupPanes, ALoadRefusedWhileAnotherToolWorksWaitsAndNeverSaysNothing) {
    for (const bool cancelled : {false, true}) {
        ToolsFixture fixture;
        DuplicateCall& search = fixture.startDuplicates();
        ToolsView tools(fixture.state());
        showIn(tools);
        tools.selectTool(ValueTool::cleanup);
        QCoreApplication::processEvents();
        auto* pane = qobject_cast<SmartCleanupView*>(tools.detail());
        ASSERT_NE(pane, nullptr);
        EXPECT_EQ(fixture.fake.cleanupLoads.size(), 0u);
        EXPECT_FALSE(pane->emptyCard()->isWorking());
        EXPECT_EQ(pane->emptyCard()->titleText(), AppLocalization::string("tools.waiting"));
        EXPECT_EQ(pane->emptyCard()->detailText(), AppLocalization::string("tools.waiting.detail"));

        if (cancelled) {
            fixture.state().cancelDuplicateScan();
        } else {
            search.succeed({});
        }
        ASSERT_TRUE(waitUntil([&] { return fixture.fake.cleanupLoads.size() == 1; }));
        EXPECT_NE(pane->emptyCard()->titleText(), AppLocalization::string("cleanup.empty"));
        EXPECT_EQ(pane->emptyCard()->titleText(), AppLocalization::string("tools.scanning"));
        fixture.fake.cleanupLoads[0]->succeed({});
        ASSERT_TRUE(waitUntil([&] { return !fixture.state().isToolWorking(); }));
        EXPECT_EQ(pane->emptyCard()->titleText(), AppLocalization::string("cleanup.empty"));  // it looked
        EXPECT_EQ(pane->emptyCard()->detailText(), AppLocalization::string("cleanup.empty.detail"));
    }

    // Its own load already running (the tray panel's quick action): it shows that load, no wait.
    ToolsFixture fixture;
    fixture.state().loadCleanupCandidates();
    SmartCleanupView cleanup(fixture.state());
    showIn(cleanup);
    EXPECT_TRUE(cleanup.emptyCard()->isWorking());
    EXPECT_EQ(cleanup.emptyCard()->titleText(), AppLocalization::string("tools.scanning"));
    ASSERT_TRUE(waitUntil([&] { return fixture.fake.cleanupLoads.size() == 1; }));
    fixture.fake.cleanupLoads[0]->succeed({});
    ASSERT_TRUE(waitUntil([&] { return !fixture.state().isToolWorking(); }));
    EXPECT_EQ(fixture.fake.cleanupLoads.size(), 1u);

    ForgottenFilesView forgotten(fixture.state(), DynamicColor::primary());
    showIn(forgotten);
    EXPECT_EQ(forgotten.emptyCard()->titleText(), AppLocalization::string("tools.notLooked"));
    fixture.findForgotten({});
    EXPECT_EQ(forgotten.emptyCard()->titleText(), AppLocalization::string("forgotten.empty"));
}

// Rows that free less than they take say so with both figures, and the banner and the selection
// count what moving frees: a file with two names listed twice counts once, and frees only when both
// names go.
TEST(CleanupPanes, FiguresAreWhatMovingFrees) {
    ToolsFixture fixture;
    CleanupCandidate uv = ToolsFixture::candidate("/h/.cache/uv", 1000, CleanupSafety::safe);
    uv.freed = {100, {{7, 1, 2, 1, 400}}};  // one name of a file of two here, the other in the second cache
    CleanupCandidate other = ToolsFixture::candidate("/h/.cache/other", 600, CleanupSafety::safe);
    other.freed = {200, {{7, 1, 2, 1, 400}}};
    fixture.loadCleanup({uv, other, ToolsFixture::candidate("/h/.cache/plain", 50, CleanupSafety::review)});
    SmartCleanupView view(fixture.state());
    showIn(view);
    EXPECT_EQ(view.selectedFigures().freed, 700);  // 100 + 200 + the shared file once
    EXPECT_TRUE(labelSays(view.banner(), AppLocalization::format("tools.cleanup.bannerTitle", {3, ToolTexts::bytes(750)})));
    Pill* note = freedNote(itemRow(view.rows(), 0));
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->text(), AppLocalization::format("tools.freesPart", {ToolTexts::bytes(100), ToolTexts::bytes(1000)}));
    EXPECT_EQ(freedNote(itemRow(view.rows(), 2)), nullptr);
    click(itemRow(view.rows(), 1));  // untick the second cache: the shared file keeps a name
    EXPECT_EQ(view.selectedFigures().freed, 100);
    EXPECT_EQ(view.selectedTile()->valueLabel()->text(), ToolTexts::bytes(100));

    fixture.findForgotten({condaName("/h/conda/pkgs/lib.so"), condaName("/h/conda/envs/ml/lib.so"), ToolsFixture::file("/h/old.iso", 20'000'000)});
    ForgottenFilesView forgotten(fixture.state(), DynamicColor::primary());
    showIn(forgotten);
    EXPECT_EQ(ForgottenFilesView::fileCount(fixture.state().forgottenFiles()), 2);
    EXPECT_EQ(forgotten.total(), 95'500'000);
    EXPECT_TRUE(labelSays(forgotten.banner(), AppLocalization::format("tools.forgotten.bannerTitle", {2, ToolTexts::bytes(95'500'000)})));
    fixture.state().setSelectedToolItems({"/h/conda/pkgs/lib.so"});
    EXPECT_EQ(forgotten.selectedFigures().freed, 0);
    fixture.state().setSelectedToolItems({"/h/conda/pkgs/lib.so", "/h/conda/envs/ml/lib.so"});
    EXPECT_EQ(forgotten.selectedFigures().freed, 75'500'000);
    for (std::size_t index : {0u, 1u}) {
        Pill* pill = freedNote(itemRow(forgotten.rows(), index));
        ASSERT_NE(pill, nullptr);
        EXPECT_EQ(pill->text(), AppLocalization::string("duplicates.otherName"));
    }
    EXPECT_EQ(freedNote(itemRow(forgotten.rows(), 2)), nullptr);
}

// Compressed files free less than their blocks count for, by an amount no unprivileged tool can
// know: their rows, and the totals they join, say "up to", and the screen says once why. A plain
// file beside them says its figure.
TEST(CleanupPanes, CompressedFilesSayUpTo) {
    ToolsFixture fixture;
    CleanupCandidate logs = ToolsFixture::candidate("/h/.cache/textlogs", 300'000'000, CleanupSafety::safe);
    logs.freed = {300'000'000, {}, true};
    fixture.loadCleanup({logs, ToolsFixture::candidate("/h/.cache/plain", 50'000'000, CleanupSafety::safe)});
    SmartCleanupView view(fixture.state());
    showIn(view);
    auto* note = view.findChild<Pill*>("compressedNote");
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->isVisible());
    EXPECT_EQ(note->text(), AppLocalization::string("tools.compressedNote"));
    EXPECT_EQ(itemRow(view.rows(), 0)->value(), AppLocalization::format("tools.upTo", {ToolTexts::bytes(300'000'000)}));
    EXPECT_EQ(itemRow(view.rows(), 1)->value(), ToolTexts::bytes(50'000'000));
    EXPECT_TRUE(labelSays(view.banner(), AppLocalization::format("tools.cleanup.bannerTitle", {2, AppLocalization::format("tools.upTo", {ToolTexts::bytes(350'000'000)})})));
    EXPECT_EQ(view.selectedTile()->valueLabel()->text(), AppLocalization::format("tools.upTo", {ToolTexts::bytes(350'000'000)}));
    view.trashButton()->click();  // the question before the move says "up to" as well
    auto* question = view.findChild<QMessageBox*>("toolsTrashConfirmation");
    ASSERT_NE(question, nullptr);
    EXPECT_TRUE(question->informativeText().contains(AppLocalization::format("tools.upTo", {ToolTexts::bytes(350'000'000)})))
        << question->informativeText().toStdString();
    question->reject();
    click(itemRow(view.rows(), 0));  // only the plain cache stays ticked
    EXPECT_EQ(view.selectedTile()->valueLabel()->text(), ToolTexts::bytes(50'000'000));

    ScannedFile log = ToolsFixture::file("/h/Documents/old.log", 20'000'000);
    log.compressed = true;
    fixture.findForgotten({log, ToolsFixture::file("/h/old.iso", 10'000'000)});
    ForgottenFilesView forgotten(fixture.state(), DynamicColor::primary());
    showIn(forgotten);
    EXPECT_TRUE(forgotten.findChild<Pill*>("compressedNote")->isVisible());
    EXPECT_EQ(itemRow(forgotten.rows(), 0)->value(), AppLocalization::format("tools.upTo", {ToolTexts::bytes(20'000'000)}));
    EXPECT_EQ(itemRow(forgotten.rows(), 1)->value(), ToolTexts::bytes(10'000'000));
    EXPECT_TRUE(labelSays(forgotten.banner(), AppLocalization::format("tools.forgotten.bannerTitle", {2, AppLocalization::format("tools.upTo", {ToolTexts::bytes(30'000'000)})})));
    fixture.findForgotten({ToolsFixture::file("/h/old.iso", 10'000'000)});
    EXPECT_FALSE(forgotten.findChild<Pill*>("compressedNote")->isVisible());
}

TEST(CleanupPanes, ConfirmedMoveTakesTheTickedCandidatesAndSelectionIsSharedAcrossTools) {
    ToolsFixture fixture;
    fixture.loadCleanup(cleanupList());
    ToolsView tools(fixture.state());
    showIn(tools);
    tools.selectTool(ValueTool::cleanup);
    auto* pane = qobject_cast<SmartCleanupView*>(tools.detail());
    ASSERT_NE(pane, nullptr);
    QCoreApplication::processEvents();
    click(itemRow(pane->rows(), 1));  // untick the logs

    // Away to the duplicate finder and back: the tick stays.
    tools.selectTool(ValueTool::duplicates);
    tools.selectTool(ValueTool::cleanup);
    pane = qobject_cast<SmartCleanupView*>(tools.detail());
    QCoreApplication::processEvents();
    EXPECT_TRUE(itemRow(pane->rows(), 0)->isOn());
    EXPECT_FALSE(itemRow(pane->rows(), 1)->isOn());

    click(pane->trashButton());
    ASSERT_NE(pane->confirmation(), nullptr);
    click(pane->confirmation()->findChild<QPushButton*>("confirmMove"));
    ASSERT_TRUE(waitUntil([&] { return fixture.fake.moves.size() == 1; }));
    EXPECT_EQ(fixture.fake.moves[0]->urls, std::vector<Path>{"/c/cache"});
    fixture.fake.moves[0]->succeed({{0}});
    ASSERT_TRUE(waitUntil([&] { return !fixture.state().isToolWorking(); }));
    EXPECT_TRUE(fixture.state().selectedToolItems().empty());
    EXPECT_EQ(fixture.state().toolMessage(), AppLocalization::format("tools.movedCount", {1}) + " " +
                                                 AppLocalization::format("tools.movedFigures", {ToolTexts::bytes(300), ToolTexts::bytes(300)}));
}

TEST(ToolsEmptyCard, AWrappedDetailGetsTheHeightOfAllItsLines) {
    // The card as the panes hold it: on top of a wide column, the rest of the height left empty.
    QWidget column;
    auto* stack = new QVBoxLayout(&column);
    auto* card = new ToolsEmptyCard(QStringLiteral("clock.badge.questionmark"), DynamicColor::primary(), false, textKey("forgotten.empty"),
                                    textKey("forgotten.empty.detail"));
    stack->addWidget(card);
    stack->addStretch(1);
    showIn(column);
    TextLabel* detail = nullptr;
    for (TextLabel* label : card->findChildren<TextLabel*>())
        if (label->text() == card->detailText()) detail = label;
    ASSERT_NE(detail, nullptr);
    ASSERT_GT(detail->heightForWidth(detail->width()), QFontMetrics(detail->font()).height());  // it wraps at its width
    EXPECT_GE(detail->height(), detail->heightForWidth(detail->width()));
}

TEST(ForgottenFilesView, TheAgeOnlyChangesTheNextSearch) {
    ToolsFixture fixture;
    ForgottenFilesView view(fixture.state(), DynamicColor::primary());
    showIn(view);
    EXPECT_EQ(view.age(), 180);
    EXPECT_EQ(view.ageBar()->selection(), "180");
    emit view.ageBar()->selectionChanged("365");
    EXPECT_EQ(view.age(), 365);
    EXPECT_EQ(fixture.fake.forgottenSearches.size(), 0u);
    click(view.scanButton());
    ASSERT_TRUE(waitUntil([&] { return fixture.fake.forgottenSearches.size() == 1; }));
    EXPECT_EQ(fixture.fake.forgottenSearches[0]->days, 365);
    EXPECT_EQ(fixture.fake.forgottenSearches[0]->minimumSize, 10'000'000);
    ASSERT_NE(view.emptyCard(), nullptr);
    EXPECT_TRUE(view.emptyCard()->isWorking());
    fixture.fake.forgottenSearches[0]->succeed({ToolsFixture::file("/f/dated.iso", 40, Instant::fromUnixSeconds(1'600'000'000)),
                                                ToolsFixture::file("/f/undated.iso", 20)});
    ASSERT_TRUE(waitUntil([&] { return !fixture.state().isToolWorking(); }));
    ASSERT_TRUE(waitUntil([&] { return view.rows()->builtCount() == 2; }));  // made within a time budget per turn
    EXPECT_EQ(itemRow(view.rows(), 0)->findChildren<Pill*>().size(), 1);  // the date
    EXPECT_EQ(itemRow(view.rows(), 1)->findChildren<Pill*>().size(), 0);  // none without one
    EXPECT_EQ(view.total(), 60);
}

TEST(ForgottenFilesView, AfterAPartlyFailedMoveTheFilesStillInPlaceStayListed) {
    QTemporaryDir dir;
    const Path root = dir.path().toStdString();
    auto make = [&](const std::string& name) {
        std::ofstream(root / name) << "old";
        return root / name;
    };
    const Path gone = make("gone.iso"), stuck = make("stuck.iso"), kept = make("kept.iso");
    ToolsFixture fixture;
    fixture.findForgotten({ToolsFixture::file(gone, 30), ToolsFixture::file(stuck, 20), ToolsFixture::file(kept, 10)});
    fixture.state().setSelectedToolItems({gone.string(), stuck.string()});
    ForgottenFilesView view(fixture.state(), DynamicColor::primary());
    showIn(view);
    click(view.trashButton());
    ASSERT_NE(view.confirmation(), nullptr);
    click(view.confirmation()->findChild<QPushButton*>("confirmMove"));
    ASSERT_TRUE(waitUntil([&] { return fixture.fake.moves.size() == 1; }));
    EXPECT_EQ(fixture.fake.moves[0]->urls, (std::vector<Path>{gone, stuck}));
    std::filesystem::remove(gone);
    fixture.fake.moves[0]->fail(std::runtime_error("Permission denied"));
    ASSERT_TRUE(waitUntil([&] { return !fixture.state().isToolWorking(); }));
    ASSERT_TRUE(waitUntil([&] { return view.rows()->builtCount() == 2; }));
    EXPECT_EQ(itemRow(view.rows(), 0)->path(), stuck);
    EXPECT_EQ(itemRow(view.rows(), 1)->path(), kept);
    EXPECT_TRUE(itemRow(view.rows(), 0)->isOn());  // still selected: the move can be tried again
}

TEST(StorageHistoryView, OneRecordAndFewerThanTwoScans) {
    ToolsFixture fixture;  // today's capacity is recorded at start
    StorageHistoryContent content(fixture.history(), DynamicColor::primary());
    showIn(content);
    EXPECT_EQ(content.findChild<StatTile*>("historyChange")->valueLabel()->text(), ToolTexts::bytes(0));
    ASSERT_NE(content.findChild<Pill*>("historyCount"), nullptr);
    EXPECT_NE(content.findChild<QWidget*>("trendPlaceholder"), nullptr);
    EXPECT_EQ(content.findChild<AreaTrend*>(), nullptr);
    EXPECT_NE(content.findChild<Banner*>("historyPrompt"), nullptr);  // no scan compared yet

    fixture.recordScan("/home/u", {{"A", 100}});
    EXPECT_NE(content.findChild<Banner*>("historyPrompt"), nullptr);  // one scan is not a comparison

    // A second day draws the chart; a second scan of the same folder lists what changed.
    fixture.recordDay(1, 350'000'000'000, 150'000'000'000);
    fixture.recordScan("/home/u", {{"A", 100}});
    QCoreApplication::processEvents();
    auto* chart = content.findChild<AreaTrend*>();
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(chart->height(), 240);
    EXPECT_EQ(content.findChild<Banner*>("historyPrompt"), nullptr);
    EXPECT_EQ(content.findChild<TextLabel*>("historyScanChange")->text(), ToolTexts::bytes(0));
    EXPECT_EQ(content.findChild<StatTile*>("historyChange")->valueLabel()->text(),
              "+" + ToolTexts::bytes(350'000'000'000 - (512'000'000'000 - 200'000'000'000)));
}

// A scan with hidden files counted and the next without: the card says that the two differ in that
// setting instead of listing hidden folders as freed; a scan made the same way brings the figures back.
TEST(StorageHistoryView, ScansThatCountedHiddenFilesDifferentlyAreNotCompared) {
    ToolsFixture fixture;
    StorageHistoryContent content(fixture.history(), DynamicColor::primary());
    showIn(content);
    auto shownTexts = [&] {
        QStringList texts;
        for (const TextLabel* label : content.findChildren<TextLabel*>())
            if (label->isVisibleTo(&content)) texts << label->text();
        return texts;
    };
    fixture.recordScan("/home/u", {{"Documents", 20'000'000}, {".cache", 6'000'000}, {".wine", 4'000'000}, {".local", 1'100'000}}, true);
    fixture.recordScan("/home/u", {{"Documents", 20'000'000}}, false);
    QCoreApplication::processEvents();
    ASSERT_NE(content.findChild<Banner*>("historyHiddenSettingDiffers"), nullptr);
    QStringList texts = shownTexts();
    EXPECT_TRUE(texts.contains(AppLocalization::string("history.whatChanged")));
    EXPECT_TRUE(texts.contains(AppLocalization::string("history.hiddenSettingDiffers"))) << texts.join(" | ").toStdString();
    EXPECT_EQ(content.findChild<Banner*>("historyPrompt"), nullptr);
    EXPECT_EQ(content.findChild<TextLabel*>("historyScanChange"), nullptr);
    EXPECT_EQ(content.findChild<RankedRow*>(), nullptr);
    for (const QString& text : texts) EXPECT_FALSE(text.startsWith(u'\u2212')) << text.toStdString();

    fixture.recordScan("/home/u", {{"Documents", 19'000'000}}, false);
    QCoreApplication::processEvents();
    EXPECT_EQ(content.findChild<Banner*>("historyHiddenSettingDiffers"), nullptr);
    ASSERT_NE(content.findChild<TextLabel*>("historyScanChange"), nullptr);
    EXPECT_EQ(content.findChild<TextLabel*>("historyScanChange")->text(), QString(u'\u2212') + ToolTexts::bytes(1'000'000));
    const QList<RankedRow*> rows = content.findChildren<RankedRow*>();
    ASSERT_EQ(rows.size(), 1);
    texts = shownTexts();
    EXPECT_TRUE(texts.contains("Documents"));
    EXPECT_FALSE(texts.contains(".cache"));
}

TEST(StartupItemsView, SwitchesAskAppStateAndShowThePublishedState) {
    ToolsFixture fixture;
    const StartupItem mine = ToolsFixture::startupItem("/home/u/.config/autostart/sync.desktop", "Sync", true, true);
    const StartupItem system = ToolsFixture::startupItem("/etc/xdg/autostart/applet.desktop", "Applet", false, false);
    const StartupItem other = ToolsFixture::startupItem("/home/u/.config/autostart/chat.desktop", "Chat", false, true);
    fixture.loadStartup({mine, system, other});
    std::vector<bool> switched;
    fixture.fake.setStartupItemEnabled = [&](const StartupItem&, bool enabled) { switched.push_back(enabled); };
    StartupItemsView view(fixture.state(), DynamicColor::primary());
    showIn(view);
    EXPECT_EQ(fixture.fake.startupLoads.size(), 1u);  // a loaded list is not loaded again
    QStringList bannerTexts;
    for (TextLabel* label : view.banner()->findChildren<TextLabel*>()) bannerTexts << label->text();
    EXPECT_TRUE(bannerTexts.contains(AppLocalization::format("tools.startup.bannerTitle", {3, 1})));  // items, then enabled ones
    EXPECT_EQ(view.enabledCount(), 1);

    ASSERT_NE(builtRow(view.rows(), 2), nullptr);
    QList<StartupItemRow*> rows = view.findChildren<StartupItemRow*>();
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[1]->toggle(), nullptr);  // system-wide: read-only
    EXPECT_NE(rows[1]->findChild<Pill*>("systemManaged"), nullptr);

    click(rows[0]->toggle());
    EXPECT_TRUE(rows[0]->toggle()->isChecked());  // unchanged until the new list arrives
    ASSERT_TRUE(waitUntil([&] { return fixture.fake.startupLoads.size() == 2; }));
    EXPECT_EQ(switched, std::vector<bool>{false});
    StartupItem off = mine;
    off.isEnabled = false;
    fixture.fake.startupLoads[1]->succeed({off, system, other});
    ASSERT_TRUE(waitUntil([&] { return !fixture.state().startupItems()[0].isEnabled; }));
    QCoreApplication::processEvents();
    rows = view.findChildren<StartupItemRow*>();
    EXPECT_FALSE(rows[0]->toggle()->isChecked());
    EXPECT_EQ(view.enabledCount(), 0);

    // While another tool works the refresh waits.
    fixture.startDuplicates();
    EXPECT_FALSE(view.refreshButton()->isEnabled());
}

// A user's entry the desktop cannot read has no switch and says why; one that could not be read
// here is neither on nor off. A row that becomes readable gets its switch back in place.
TEST(StartupItemsView, RowsThatCannotBeSwitchedSayWhy) {
    ToolsFixture fixture;
    StartupItem refused = ToolsFixture::startupItem("/home/u/.config/autostart/broken.desktop", "Broken", false, true);
    refused.readingProblem = AppLocalization::format("startup.problem.badLine", {4});
    StartupItem unknown = ToolsFixture::startupItem("/home/u/.config/autostart/huge.desktop", "Huge", false, true);
    unknown.isKnown = false;
    unknown.readingProblem = AppLocalization::format("startup.problem.tooLarge", {"16.8 MB"});
    StartupItem system = ToolsFixture::startupItem("/etc/xdg/autostart/applet.desktop", "Applet", false, false);
    system.readingProblem = AppLocalization::string("startup.problem.noEntryGroup");
    StartupItem elsewhere = ToolsFixture::startupItem("/home/u/.config/autostart/kde-only.desktop", "KDE only", false, true);
    elsewhere.desktopNote = AppLocalization::format("startup.onlyOn", {"KDE"});
    elsewhere.otherFiles = {"/home/u/.config/autostart/kde-only.disabled"};
    fixture.loadStartup({refused, unknown, system, elsewhere});
    StartupItemsView view(fixture.state(), DynamicColor::primary());
    showIn(view);

    auto* broken = static_cast<StartupItemRow*>(builtRow(view.rows(), 0));
    auto* huge = static_cast<StartupItemRow*>(builtRow(view.rows(), 1));
    auto* applet = static_cast<StartupItemRow*>(builtRow(view.rows(), 2));
    ASSERT_TRUE(broken && huge && applet);
    for (StartupItemRow* row : {broken, huge, applet}) {
        EXPECT_EQ(row->toggle(), nullptr);
        EXPECT_TRUE(row->toolTip().contains(row->item().readingProblem)) << row->item().name.toStdString();
    }
    EXPECT_TRUE(broken->findChild<Pill*>("cannotSwitch")->isVisible());
    EXPECT_FALSE(broken->findChild<Pill*>("systemManaged")->isVisible());
    EXPECT_EQ(broken->findChild<Pill*>("startupStatus")->text(), AppLocalization::string("tools.startup.off"));
    EXPECT_EQ(huge->findChild<Pill*>("startupStatus")->text(), AppLocalization::string("tools.startup.unknown"));
    EXPECT_TRUE(applet->findChild<Pill*>("systemManaged")->isVisible());
    EXPECT_FALSE(applet->findChild<Pill*>("cannotSwitch")->isVisible());
    // An entry for another desktop cannot be switched here and says so, naming both its files.
    auto* kde = static_cast<StartupItemRow*>(builtRow(view.rows(), 3));
    EXPECT_EQ(kde->toggle(), nullptr);
    EXPECT_TRUE(kde->findChild<Pill*>("cannotSwitch")->isVisible());
    EXPECT_TRUE(kde->toolTip().contains(elsewhere.desktopNote));
    QStringList texts;
    for (const TextLabel* label : kde->findChildren<TextLabel*>()) texts << label->text();
    EXPECT_TRUE(texts.join(' ').contains(elsewhere.desktopNote));
    EXPECT_TRUE(texts.join(' ').contains("kde-only.desktop, kde-only.disabled"));

    StartupItem mended = refused;
    mended.readingProblem.clear();
    view.refreshButton()->click();
    ASSERT_TRUE(waitUntil([&] { return fixture.fake.startupLoads.size() == 2; }));
    fixture.fake.startupLoads[1]->succeed({mended, unknown, system, elsewhere});
    ASSERT_TRUE(waitUntil([&] { return broken->toggle() != nullptr; }));
    EXPECT_EQ(view.rows()->row(0), broken);
    EXPECT_TRUE(broken->toggle()->isVisible());
    EXPECT_FALSE(broken->findChild<Pill*>("cannotSwitch")->isVisible());
    EXPECT_TRUE(broken->toolTip().isEmpty());
}

// A switch flipped from the keyboard renames the entry and the list is loaded again: the row and
// its switch stay, with the focus on it, through the reload and through the busy flag of a refresh.
TEST(StartupItemsView, AFlippedSwitchKeepsItsRowAndTheFocus) {
    ToolsFixture fixture;
    const StartupItem sync = ToolsFixture::startupItem("/home/u/.config/autostart/sync.desktop", "Sync", true, true);
    const StartupItem chat = ToolsFixture::startupItem("/home/u/.config/autostart/chat.desktop", "Chat", true, true);
    fixture.loadStartup({chat, sync});
    StartupItemsView view(fixture.state(), DynamicColor::primary());
    showIn(view);
    view.activateWindow();
    auto rowOf = [&](const QString& name) -> StartupItemRow* {
        for (StartupItemRow* each : view.findChildren<StartupItemRow*>())
            if (each->isVisible() && each->item().name == name) return each;
        return nullptr;
    };
    ASSERT_NE(builtRow(view.rows(), 1), nullptr);
    QPointer<StartupItemRow> row = rowOf("Sync");
    ASSERT_NE(row, nullptr);
    QPointer<ToggleSwitch> toggle = row->toggle();
    toggle->setFocus();
    ASSERT_TRUE(waitUntil([&] { return toggle->hasFocus(); }));

    QTest::keyClick(toggle, Qt::Key_Space);
    ASSERT_TRUE(waitUntil([&] { return fixture.fake.startupLoads.size() == 2; }));
    StartupItem off = sync;
    off.path.replace_extension("disabled");
    off.id = off.path.string();
    off.isEnabled = false;
    fixture.fake.startupLoads[1]->succeed({chat, off});
    ASSERT_TRUE(waitUntil([&] { return !fixture.state().startupItems()[1].isEnabled; }));
    QCoreApplication::processEvents();
    ASSERT_FALSE(toggle.isNull());
    ASSERT_EQ(rowOf("Sync"), row);
    EXPECT_EQ(row->item().path, off.path);
    EXPECT_FALSE(toggle->isChecked());
    EXPECT_TRUE(toggle->hasFocus());
    EXPECT_EQ(view.enabledCount(), 1);

    view.refreshButton()->click();
    ASSERT_TRUE(waitUntil([&] { return fixture.fake.startupLoads.size() == 3; }));
    EXPECT_FALSE(view.refreshButton()->isEnabled());
    fixture.fake.startupLoads[2]->succeed({chat, off});
    ASSERT_TRUE(waitUntil([&] { return view.refreshButton()->isEnabled(); }));
    EXPECT_EQ(rowOf("Sync"), row);
    EXPECT_TRUE(toggle->hasFocus());
}

// A reader far down a list keeps the rows on screen and the place among them when the list is
// searched again, loaded again or the busy flag changes: the panes update in place.
TEST(ToolPanes, AListScrolledToRowTwoHundredKeepsItsPlaceAndItsRows) {
    auto scrolledTo200 = [](QWidget& view, LazyRowStack* rows) -> QScrollArea* {
        auto* page = view.findChild<DashboardPage*>();
        if (!page) return nullptr;
        // Rows are made within a time budget per turn of the event loop: scroll on until they are there.
        const bool built = QTest::qWaitFor([&] {
            page->verticalScrollBar()->setValue(page->verticalScrollBar()->maximum());
            return rows->builtCount() >= 240;
        }, 120000);  // only a bound for a failing run: a slow machine takes long to build them
        if (!built) return nullptr;
        page->verticalScrollBar()->setValue(rows->row(200)->mapTo(page->widget(), QPoint()).y());
        QCoreApplication::processEvents();
        return page;
    };

    ToolsFixture fixture;
    std::vector<ScannedFile> files;
    for (int i = 0; i < 300; ++i) files.push_back(ToolsFixture::file("/f/old" + std::to_string(i) + ".iso", 30'000'000 - i));
    fixture.findForgotten(files);
    ForgottenFilesView forgotten(fixture.state(), DynamicColor::primary());
    showIn(forgotten);
    QScrollArea* page = scrolledTo200(forgotten, forgotten.rows());
    ASSERT_NE(page, nullptr);
    const int place = page->verticalScrollBar()->value();
    const QPointer<QWidget> row200 = forgotten.rows()->row(200);

    // A new search: busy, then the same files but the last ten (gone since).
    click(forgotten.scanButton());
    ASSERT_TRUE(waitUntil([&] { return fixture.fake.forgottenSearches.size() == 2; }));
    ASSERT_TRUE(fixture.state().isToolWorking());
    QCoreApplication::processEvents();
    EXPECT_EQ(forgotten.rows()->row(200), row200.data());
    EXPECT_EQ(page->verticalScrollBar()->value(), place);
    files.resize(290);
    fixture.fake.forgottenSearches[1]->succeed(files);
    ASSERT_TRUE(waitUntil([&] { return !fixture.state().isToolWorking(); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(forgotten.rows()->rowCount(), 290u);
    EXPECT_EQ(forgotten.rows()->row(200), row200.data());
    EXPECT_EQ(page->verticalScrollBar()->value(), place);

    std::vector<CleanupCandidate> candidates;
    for (int i = 0; i < 300; ++i) candidates.push_back(ToolsFixture::candidate("/c/cache" + std::to_string(i), 5000 - i, CleanupSafety::safe));
    fixture.loadCleanup(candidates);
    SmartCleanupView cleanup(fixture.state());
    showIn(cleanup);
    page = scrolledTo200(cleanup, cleanup.rows());
    ASSERT_NE(page, nullptr);
    const int cleanupPlace = page->verticalScrollBar()->value();
    const QPointer<QWidget> candidate200 = cleanup.rows()->row(200);
    // Busy, then the list again, every item grown and one now under review.
    for (CleanupCandidate& candidate : candidates) {
        candidate.size += 1000;
        candidate.freed.singleNamedBytes += 1000;
    }
    candidates[200].safety = CleanupSafety::review;
    fixture.loadCleanup(candidates);
    QCoreApplication::processEvents();
    EXPECT_EQ(cleanup.rows()->row(200), candidate200.data());
    EXPECT_EQ(page->verticalScrollBar()->value(), cleanupPlace);
    EXPECT_EQ(itemRow(cleanup.rows(), 200)->value(), ToolTexts::bytes(candidates[200].size));
    EXPECT_FALSE(itemRow(cleanup.rows(), 200)->isOn());
    EXPECT_EQ(static_cast<Pill*>(itemRow(cleanup.rows(), 200)->accessory())->text(), AppLocalization::string("cleanup.review"));
}

// A row kept through a reload shows its new item whole (size, bar, date, safety, tick) and moves
// to the item's new place; a row whose item is gone goes, and the keyboard focus it held moves on.
TEST(ToolPanes, AKeptRowShowsItsNewItemWholeInItsNewPlace) {
    auto y = [](LazyRowStack* rows, std::size_t index) { return rows->row(index)->mapTo(rows, QPoint()).y(); };
    auto pillText = [](ToolsItemRow* row) { return row->accessory() ? static_cast<Pill*>(row->accessory())->text() : QString(); };
    ToolsFixture fixture;
    fixture.loadCleanup({ToolsFixture::candidate("/c/alpha", 1'000'000, CleanupSafety::safe), ToolsFixture::candidate("/c/beta", 900'000, CleanupSafety::review),
                         ToolsFixture::candidate("/c/gamma", 800'000, CleanupSafety::safe), ToolsFixture::candidate("/c/delta", 700'000, CleanupSafety::safe),
                         ToolsFixture::candidate("/c/epsilon", 600'000, CleanupSafety::review)});
    SmartCleanupView cleanup(fixture.state());
    showIn(cleanup);
    cleanup.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&cleanup));
    ASSERT_TRUE(waitUntil([&] { return cleanup.rows()->builtCount() == 5; }));
    std::map<std::string, QPointer<ToolsItemRow>> before;
    for (std::size_t i = 0; i < 5; ++i) before[itemRow(cleanup.rows(), i)->path().string()] = itemRow(cleanup.rows(), i);
    before["/c/gamma"]->checkBox()->setFocus();

    // The fifth grew to the top and became safe, alpha became one to review, beta safe, gamma is gone.
    fixture.loadCleanup({ToolsFixture::candidate("/c/epsilon", 11'000'000, CleanupSafety::safe),
                         ToolsFixture::candidate("/c/alpha", 1'000'000, CleanupSafety::review), ToolsFixture::candidate("/c/beta", 900'000, CleanupSafety::safe),
                         ToolsFixture::candidate("/c/delta", 700'000, CleanupSafety::safe)});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    QStringList bannerTexts;
    for (const TextLabel* label : cleanup.banner()->findChildren<TextLabel*>()) bannerTexts << label->text();
    EXPECT_TRUE(bannerTexts.contains(AppLocalization::format("tools.cleanup.bannerTitle", {4, ToolTexts::bytes(13'600'000)})));
    ASSERT_EQ(cleanup.rows()->builtCount(), 4u);
    const std::vector<std::string> order{"/c/epsilon", "/c/alpha", "/c/beta", "/c/delta"};
    for (std::size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(cleanup.rows()->row(i), before[order[i]].data()) << order[i];
        if (i > 0) {
            EXPECT_LT(y(cleanup.rows(), i - 1), y(cleanup.rows(), i)) << order[i];
        }
    }
    ToolsItemRow* top = itemRow(cleanup.rows(), 0);
    EXPECT_EQ(top->value(), ToolTexts::bytes(11'000'000));
    EXPECT_DOUBLE_EQ(top->fraction(), 1.0);
    EXPECT_EQ(pillText(top), AppLocalization::string("cleanup.safe"));
    EXPECT_TRUE(top->isOn());
    ToolsItemRow* alpha = itemRow(cleanup.rows(), 1);
    EXPECT_DOUBLE_EQ(alpha->fraction(), 1.0 / 11);
    EXPECT_EQ(pillText(alpha), AppLocalization::string("cleanup.review"));
    EXPECT_FALSE(alpha->isOn());
    EXPECT_FALSE(alpha->checkBox()->isChecked());
    EXPECT_TRUE(itemRow(cleanup.rows(), 2)->checkBox()->isChecked());
    EXPECT_TRUE(before["/c/gamma"].isNull());
    QWidget* focused = QApplication::focusWidget();
    ASSERT_NE(focused, nullptr);
    EXPECT_TRUE(cleanup.isAncestorOf(focused));

    // The same sizes in a new order.
    fixture.loadCleanup({ToolsFixture::candidate("/c/delta", 700'000, CleanupSafety::safe), ToolsFixture::candidate("/c/beta", 900'000, CleanupSafety::safe),
                         ToolsFixture::candidate("/c/alpha", 1'000'000, CleanupSafety::review),
                         ToolsFixture::candidate("/c/epsilon", 11'000'000, CleanupSafety::safe)});
    QCoreApplication::processEvents();
    EXPECT_EQ(cleanup.rows()->row(0), before["/c/delta"].data());
    EXPECT_EQ(cleanup.rows()->row(3), before["/c/epsilon"].data());
    EXPECT_LT(y(cleanup.rows(), 0), y(cleanup.rows(), 3));
    auto nextTabStop = [](QWidget* widget) {
        do widget = widget->nextInFocusChain();
        while (!(widget->focusPolicy() & Qt::TabFocus));
        return widget;
    };
    for (std::size_t i = 1; i < 4; ++i)  // Tab goes down the rows as they stand now
        EXPECT_EQ(nextTabStop(itemRow(cleanup.rows(), i - 1)->checkBox()), itemRow(cleanup.rows(), i)->checkBox()) << i;

    // A forgotten file rewritten larger and dated back; another that lost its date.
    const Instant june2024 = Instant::fromUnixSeconds(1'717'200'000), january2023 = Instant::fromUnixSeconds(1'672'531'200);
    fixture.findForgotten({ToolsFixture::file("/f/beta.iso", 11'000'000, june2024), ToolsFixture::file("/f/alpha.iso", 1'000'000, june2024)});
    ForgottenFilesView forgotten(fixture.state(), DynamicColor::primary());
    showIn(forgotten);
    ASSERT_TRUE(waitUntil([&] { return forgotten.rows()->builtCount() == 2; }));
    const QPointer<ToolsItemRow> alphaFile = itemRow(forgotten.rows(), 1);
    fixture.state().setSelectedToolItems({"/f/alpha.iso"});
    fixture.findForgotten({ToolsFixture::file("/f/alpha.iso", 30'000'000, january2023), ToolsFixture::file("/f/beta.iso", 11'000'000)});
    QCoreApplication::processEvents();
    ASSERT_EQ(itemRow(forgotten.rows(), 0), alphaFile.data());
    EXPECT_EQ(alphaFile->value(), ToolTexts::bytes(30'000'000));
    EXPECT_DOUBLE_EQ(alphaFile->fraction(), 1.0);
    EXPECT_EQ(pillText(alphaFile), AppLocalization::format("tools.forgotten.modified",
                                                           {TimeFormatting::dayMonthYear(january2023, AppLocalization::activeLocale())}));
    EXPECT_FALSE(alphaFile->isOn());  // a new search empties the selection
    EXPECT_EQ(itemRow(forgotten.rows(), 1)->accessory(), nullptr);
    EXPECT_DOUBLE_EQ(itemRow(forgotten.rows(), 1)->fraction(), 11.0 / 30);
    EXPECT_LT(y(forgotten.rows(), 0), y(forgotten.rows(), 1));

    // A row that becomes locked takes no tick and is never highlighted.
    ToolsItemRow::Item unlocked{ToolSelection(fixture.state(), "/d/copy"), false, "/d/copy", "copy", "/d", "1 kB", 0.5};
    ToolsItemRow row(unlocked, DynamicColor::primary());
    fixture.state().setSelectedToolItems({"/d/copy"});
    EXPECT_TRUE(row.isHighlighted());
    unlocked.isLocked = true;
    row.setItem(unlocked);
    EXPECT_FALSE(row.checkBox()->isEnabled());
    EXPECT_FALSE(row.isHighlighted());
}

// The date pill names the month; a row's menu holds one entry, reveal; a file that is gone shows
// its kind's icon, not a blank.
TEST(ForgottenFilesView, TheDatePillSpellsTheMonthAndTheRowMenuReveals) {
    ToolsFixture fixture;
    const Instant modified = Instant::fromUnixSeconds(1'600'000'000);  // 13 September 2020
    fixture.findForgotten({ToolsFixture::file("/nowhere/old report.pdf", 40'000'000, modified)});
    ForgottenFilesView view(fixture.state(), DynamicColor::primary());
    showIn(view);
    ASSERT_TRUE(waitUntil([&] { return view.rows()->builtCount() == 1; }));
    ToolsItemRow* row = itemRow(view.rows(), 0);
    const auto pills = row->findChildren<Pill*>();
    ASSERT_EQ(pills.size(), 1);
    EXPECT_EQ(pills[0]->text(), AppLocalization::format("tools.forgotten.modified", {TimeFormatting::dayMonthYear(modified, QLocale::system())}));
    EXPECT_TRUE(pills[0]->text().contains("2020")) << pills[0]->text().toStdString();
    EXPECT_FALSE(pills[0]->text().contains('/')) << pills[0]->text().toStdString();
    EXPECT_FALSE(row->icon()->icon().isNull());

    QStringList entries;
    QTimer::singleShot(0, [&] {  // runs once the menu does
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* action : menu->actions()) entries << action->text();
            menu->close();
        }
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10), row->mapToGlobal(QPoint(10, 10)));
    QCoreApplication::sendEvent(row, &event);
    EXPECT_EQ(entries, QStringList{AppLocalization::string("action.reveal")});
}

namespace {

// The detail of the question a pane asks before a move, in one line without direction marks; the
// question is closed unanswered.
QString questionOf(QWidget& pane, QAbstractButton* trash) {
    click(trash);
    auto* question = pane.findChild<QMessageBox*>("toolsTrashConfirmation");
    if (!question) return {};
    const QString text = question->informativeText();
    question->reject();
    QCoreApplication::processEvents();
    return text;
}

QString withoutMarks(QString text) { return text.remove(QRegularExpression("[\u2066-\u2069]")); }

}  // namespace

// The question before a move says what goes to the Trash and what emptying it frees, on every
// screen that moves: a cache whose files a project also names moves more than it frees, a
// compressed one frees at most its figure, and one whose files all keep another name frees nothing
// and may still be moved.
TEST(CleanupPanes, TheQuestionSaysWhatMovesAndWhatItFrees) {
    SettingsStore::shared().setValue("appLanguage", "en");
    ToolsFixture fixture;
    CleanupCandidate uv = ToolsFixture::candidate("/h/.cache/uv", 20'000'000, CleanupSafety::safe);
    uv.freed = {4'400'000, {{8, 1, 2, 1, 15'600'000, 15'600'000}}};
    fixture.loadCleanup({uv});
    SmartCleanupView cleanup(fixture.state());
    showIn(cleanup);
    EXPECT_EQ(withoutMarks(questionOf(cleanup, cleanup.trashButton())),
              "20 MB will be moved to the Trash, where you can restore the items. Emptying the Trash frees 4.4 MB.");

    CleanupCandidate logs = ToolsFixture::candidate("/h/.cache/textlogs", 71'000'000, CleanupSafety::safe);
    logs.freed = {71'000'000, {}, true};
    fixture.loadCleanup({logs});
    EXPECT_EQ(questionOf(cleanup, cleanup.trashButton()),
              AppLocalization::format("tools.trash.detail", {ToolTexts::bytes(71'000'000), AppLocalization::format("tools.upTo", {ToolTexts::bytes(71'000'000)})}));

    CleanupCandidate pnpm = ToolsFixture::candidate("/h/.cache/pnpm", 37'900'000, CleanupSafety::safe);
    pnpm.freed = {0, {{8, 2, 2, 1, 37'900'000, 37'900'000}}};
    fixture.loadCleanup({pnpm});
    EXPECT_EQ(cleanup.selectedTile()->valueLabel()->text(), ToolTexts::bytes(0));
    EXPECT_EQ(cleanup.selectedBar()->fraction(), 0.0);  // nothing of nothing
    ASSERT_TRUE(cleanup.trashButton()->isEnabled());
    EXPECT_EQ(questionOf(cleanup, cleanup.trashButton()), AppLocalization::format("tools.trash.detail.freesNothing", {ToolTexts::bytes(37'900'000)}));

    fixture.loadDeveloper({uv});
    DeveloperCleanupView developer(fixture.state());
    showIn(developer);
    EXPECT_EQ(questionOf(developer, developer.trashButton()),
              AppLocalization::format("tools.trash.detail", {ToolTexts::bytes(20'000'000), ToolTexts::bytes(4'400'000)}));

    // Forgotten files: one name of a file whose other name stays.
    fixture.findForgotten({condaName("/h/conda/pkgs/lib.so"), ToolsFixture::file("/h/old.iso", 20'000'000)});
    ForgottenFilesView forgotten(fixture.state(), DynamicColor::primary());
    showIn(forgotten);
    fixture.state().setSelectedToolItems({"/h/conda/pkgs/lib.so"});
    ASSERT_TRUE(forgotten.trashButton()->isEnabled());
    EXPECT_EQ(questionOf(forgotten, forgotten.trashButton()), AppLocalization::format("tools.trash.detail.freesNothing", {ToolTexts::bytes(75'500'000)}));
    fixture.state().setSelectedToolItems({"/h/conda/pkgs/lib.so", "/h/old.iso"});
    EXPECT_EQ(questionOf(forgotten, forgotten.trashButton()),
              AppLocalization::format("tools.trash.detail", {ToolTexts::bytes(95'500'000), ToolTexts::bytes(20'000'000)}));
    SettingsStore::shared().remove("appLanguage");
}

// A row whose size leaves out unreadable folders keeps its reason whole: the longer size text gives
// way on a narrow row and is read whole in its tip; on a wide one both are whole.
TEST(CleanupPanes, ALongSizeGivesWayToTheReason) {
    ToolsFixture fixture;
    CleanupCandidate mixed = ToolsFixture::candidate("/home/maya/.cache/mixed", 1'000'000, CleanupSafety::review);
    mixed.reason = CleanupReason::cannotMove;
    mixed.reasonDetail = QStringLiteral("~/.cache/mixed/root");
    mixed.unreadableFolders = 3;
    fixture.loadCleanup({mixed});
    SmartCleanupView view(fixture.state());
    for (const int width : {1000, 2000}) {
        SCOPED_TRACE(width);
        view.resize(width, 800);
        view.show();
        QCoreApplication::processEvents();
        ToolsItemRow* row = itemRow(view.rows(), 0);
        QCoreApplication::processEvents();
        const auto* subtitle = row->findChild<TextLabel*>("rowSubtitle");
        const auto* value = row->findChild<QWidget*>("rowValue");
        ASSERT_TRUE(subtitle && value);
        const auto* size = value->findChild<TextLabel*>();
        ASSERT_TRUE(size);
        EXPECT_EQ(subtitle->text(), ToolTexts::cleanupDetail(mixed));
        EXPECT_FALSE(subtitle->isCut());
        EXPECT_EQ(size->text(), ToolTexts::cleanupSize(mixed));
        EXPECT_EQ(size->isCut(), width == 1000);
        EXPECT_EQ(value->toolTip().isEmpty(), !size->isCut());
        // Cut by what the reason needs, no more: the reason gets its width, not the size's.
        if (width == 1000) {
            EXPECT_LE(subtitle->width(), subtitle->sizeHint().width() + 1);
        }
    }
}
