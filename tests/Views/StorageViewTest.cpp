#include "Foundation/PathText.h"
#include "Models/AppLocalization.h"
#include "Services/AppState.h"
#include "Views/Storage/BucketSelection.h"
#include "Views/Common/DashboardPage.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/RankedRow.h"
#include "Views/Common/FileIcon.h"
#include "Platform/KindDescriptions.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/DesignSystem/LegendRow.h"
#include "Models/ByteFormatting.h"
#include "Views/Storage/FolderCard.h"
#include "Views/Storage/FolderInspector.h"
#include "Views/DesignSystem/StyledButton.h"
#include "Views/Storage/FolderMapView.h"
#include "Views/Storage/StorageMap3DView.h"
#include "Views/Storage/StorageMapCard.h"
#include "Views/Storage/StorageView.h"
#include "Views/Storage/TreemapView.h"
#include "Views/Common/TextSelection.h"
#include "Views/Storage/NoFoldersState.h"
#include "Views/Common/RevealBox.h"
#include "Views/DesignSystem/Ease.h"
#include "ViewSupport/ManualAnimationClock.h"
#include "ViewSupport/ScanFixture.h"
#include "ViewSupport/StorageFixtures.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QClipboard>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

struct ScreenFixture {
    ScanFixture tree;
    AppState state{tree.services()};
    StorageView view{state, DS::amber, [] { return StorageFixtures::fixedCapacity; }};

    ScreenFixture() {
        state.setScanRoot(tree.root());
        view.resize(1240, 1800);
        view.show();
    }

    void scanAndWait() {
        state.startScan();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !state.isScanning(); }, 10000));
        ASSERT_TRUE(state.scanSnapshot());
        ASSERT_TRUE(showsPage(StorageView::Body::results));
    }

    // The page follows the state on the next turn of the event loop.
    bool showsPage(StorageView::Body body) {
        return QTest::qWaitFor([&] { return view.body() == body; }, 2000);
    }

    const StorageBucket& bucketNamed(const std::string& name) const {
        for (const StorageBucket& bucket : state.scanSnapshot()->buckets)
            if (bucket.name() == name) return bucket;
        throw std::runtime_error(name);
    }

    std::size_t rowIndex(const std::string& name) const {
        const auto ids = rowIDs();
        return std::size_t(std::find(ids.begin(), ids.end(), bucketNamed(name).path) - ids.begin());
    }

    std::vector<std::string> rowIDs() const {
        std::vector<std::string> ids;
        for (RankedRow* row : view.folderRows()) ids.push_back(row->property("bucketID").toString().toStdString());
        return ids;
    }
};

}  // namespace

TEST(StorageView, SetupThenScanningThenResults) {
    ScreenFixture screen;
    EXPECT_EQ(screen.view.body(), StorageView::Body::setup);
    EXPECT_FALSE(screen.view.offersParentFolder());
    *screen.tree.holdScans = true;
    screen.state.startScan();
    QCoreApplication::processEvents();  // the page follows on the next turn of the event loop
    EXPECT_EQ(screen.view.body(), StorageView::Body::scanning);
    *screen.tree.holdScans = false;
    ASSERT_TRUE(QTest::qWaitFor([&] { return screen.view.body() == StorageView::Body::results; }, 10000));
    // 12 top-level entries (the hidden .cache is not counted), the first ten listed, largest first.
    EXPECT_EQ(screen.state.scanSnapshot()->buckets.size(), 12u);
    ASSERT_EQ(screen.view.folderRows().size(), 10u);
    EXPECT_EQ(screen.rowIDs().front(), screen.bucketNamed("Videos").path);
    screen.view.setShowAllFolders(true);
    EXPECT_EQ(screen.view.folderRows().size(), 12u);
    EXPECT_TRUE(screen.view.offersParentFolder());
    // The results fit the main window's smallest content width without scrolling sideways.
    EXPECT_LE(screen.view.findChild<DashboardPage*>()->widget()->minimumSizeHint().width(), 1080 - 20);
}

TEST(StorageView, ShowAllEasesTheMoreRowsInAndShowLessEasesThemOut) {
    ScreenFixture screen;
    screen.view.resize(1240, 3000);  // the whole list on screen, where it eases
    screen.scanAndWait();
    ManualAnimationClock clock;
    RevealBox* more = screen.view.moreFolders();
    QApplication::processEvents();
    ASSERT_EQ(more->height(), 0);
    EXPECT_EQ(more->ease().durationMs(), Ease::showAllMs);
    const double eased = Ease::out().valueForProgress(0.5);

    screen.view.findChild<StyledButton*>("showAllFolders")->click();
    ASSERT_EQ(screen.view.folderRows().size(), 12u);
    EXPECT_TRUE(more->ease().isRunning());
    clock.advanceBy(Ease::showAllMs / 2);
    const int halfway = more->shownHeight(more->width());
    clock.advanceBy(Ease::showAllMs / 2);
    EXPECT_FALSE(more->ease().isRunning());
    // The page lays itself out again level by level, a posted event each.
    ASSERT_TRUE(QTest::qWaitFor([&] { return more->height() == more->sizeHint().height(); }));
    // In the end the box is as tall as the two rows past the first ten, and showed them in part halfway.
    const int full = more->height();
    EXPECT_EQ(full, screen.view.folderRows()[10]->height() + screen.view.folderRows()[11]->height());
    EXPECT_GT(full, 0);
    EXPECT_NEAR(halfway, eased * full, 1);
    EXPECT_EQ(screen.view.folderRows()[11]->mapTo(more, QPoint(0, 0)).y() + screen.view.folderRows()[11]->height(), full);

    screen.view.findChild<StyledButton*>("showAllFolders")->click();
    EXPECT_EQ(screen.view.folderRows().size(), 10u);
    clock.advanceBy(Ease::showAllMs / 2);
    EXPECT_NEAR(more->shownHeight(more->width()), full - eased * full, 1);
    clock.advanceBy(Ease::showAllMs / 2);
    EXPECT_TRUE(QTest::qWaitFor([&] { return more->height() == 0; }));
}

TEST(StorageView, FilterSortAndInspector) {
    ScreenFixture screen;
    screen.scanAndWait();
    screen.view.setFilter("VIDEOS");
    ASSERT_EQ(screen.view.folderRows().size(), 2u);
    // The maps show what the list shows.
    auto* treemap = dynamic_cast<TreemapView*>(screen.view.mapCard()->map());
    ASSERT_NE(treemap, nullptr);
    EXPECT_EQ(treemap->cells().size(), 2u);
    screen.view.setFilter("zzz");
    EXPECT_TRUE(screen.view.folderRows().empty());
    screen.view.setFilter({});
    screen.view.setSort(FolderSort::name);
    ASSERT_EQ(screen.view.folderRows().size(), 10u);
    const auto ids = screen.rowIDs();
    auto position = [&](const std::string& name) { return std::find(ids.begin(), ids.end(), screen.bucketNamed(name).path) - ids.begin(); };
    EXPECT_LT(position("Desktop"), position("Documents"));
    EXPECT_LT(position("Documents"), position("Downloads"));

    // Files of a sibling whose name begins the same are not inside.
    const auto inside = FolderInspector::largestInside(*screen.state.scanSnapshot(), screen.bucketNamed("Videos"));
    ASSERT_EQ(inside.size(), 3u);
    for (const ScannedFile& file : inside) EXPECT_EQ(file.path.string().find("Videos2"), std::string::npos);

    // A single click on a row selects after the double-click wait; every map follows.
    RankedRow* row = screen.view.folderRows()[3];
    QTest::mouseClick(row, Qt::LeftButton);
    EXPECT_FALSE(screen.view.selection().id().has_value());
    screen.view.pendingRowClick().settle();
    EXPECT_EQ(screen.view.selection().id(), screen.rowIDs()[3]);
    EXPECT_TRUE(screen.view.folderRows()[3]->isHighlighted());
}

// A file at the top of a scan is shown as the file it is, and says why it cannot be scanned alone; it
// never becomes the scan folder (it would be stored and then fail to scan). Folders do: see the
// double-click test below.
TEST(StorageView, AFileBucketIsShownAsAFileAndNeverFocused) {
    ScreenFixture screen;
    screen.scanAndWait();
    const std::filesystem::path root = screen.state.scanRoot();
    const StorageBucket& file = screen.bucketNamed("notes.txt");
    screen.view.focus(file);
    EXPECT_FALSE(screen.state.isScanning());
    EXPECT_EQ(screen.state.scanRoot(), root);

    FolderInspector inspector(DS::amber, {});
    inspector.setContent(*screen.state.scanSnapshot(), file, DS::amber);
    QStringList texts;
    for (TextLabel* label : inspector.findChildren<TextLabel*>()) texts << label->text();
    EXPECT_TRUE(texts.contains(KindDescriptions().kind(file.path))) << texts.join(" | ").toStdString();
    EXPECT_FALSE(texts.contains("Folder"));
    EXPECT_FALSE(inspector.focusButton()->isEnabled());
    EXPECT_FALSE(inspector.focusButton()->toolTip().isEmpty());
    EXPECT_NE(fileIcon(file.path).pixmap(32).toImage(), fileIcon(screen.bucketNamed("Videos").path).pixmap(32).toImage());

    inspector.setContent(*screen.state.scanSnapshot(), screen.bucketNamed("Videos"), DS::amber);
    EXPECT_TRUE(inspector.focusButton()->toolTip().isEmpty());
}

TEST(StorageView, ARowThatFocusesItsFolderOutlivesItsOwnDoubleClick) {
    ScreenFixture screen;
    screen.scanAndWait();
    const std::filesystem::path root = screen.state.scanRoot();
    const std::size_t videos = screen.rowIndex("Videos");
    QPointer<RankedRow> row = screen.view.folderRows()[videos];
    QPointer<QWidget> map = screen.view.mapCard(), inspector = screen.view.inspector();
    // The row's own handler still runs after its signal: the drill-down updates the page, it does
    // not free the row (nor any other part) under it.
    emit row->doubleClicked();
    EXPECT_TRUE(screen.state.isScanning());
    EXPECT_EQ(screen.state.scanRoot(), root / "Videos");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !screen.state.isScanning(); }, 10000));
    ASSERT_TRUE(screen.showsPage(StorageView::Body::results));
    ASSERT_FALSE(row.isNull());
    EXPECT_FALSE(map.isNull());
    EXPECT_FALSE(inspector.isNull());
    EXPECT_EQ(screen.state.scanSnapshot()->rootPath, root / "Videos");

    // The same through a real double click on a row of the new results.
    RankedRow* clipsRow = screen.view.folderRows()[screen.rowIndex("clips")];
    QTest::mouseDClick(clipsRow, Qt::LeftButton);
    EXPECT_EQ(screen.state.scanRoot(), root / "Videos" / "clips");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !screen.state.isScanning(); }, 10000));
}

TEST(StorageView, ANewScanUpdatesThePartsInPlace) {
    ScreenFixture screen;
    screen.scanAndWait();
    screen.view.mapCard()->setMode(StorageMapMode::folders);  // the chosen map stays through new scans
    const QPointer<QWidget> map = screen.view.mapCard()->map(), inspector = screen.view.inspector(), row = screen.view.folderRows()[0];
    screen.view.selection().setID(screen.bucketNamed("Music").path);
    EXPECT_EQ(screen.view.inspector()->bucket()->name(), "Music");
    EXPECT_EQ(screen.view.inspector(), inspector.data());
    // A scan of a subfolder has fewer folders: the rows that remain are the same widgets.
    screen.state.setScanRoot(screen.tree.root() / "Videos");
    screen.state.startScan();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !screen.state.isScanning(); }, 10000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return screen.view.folderRows().size() == screen.state.scanSnapshot()->buckets.size(); }, 2000));
    EXPECT_EQ(screen.view.mapCard()->mode(), StorageMapMode::folders);
    EXPECT_EQ(screen.view.mapCard()->map(), map.data());
    EXPECT_EQ(screen.view.inspector(), inspector.data());
    EXPECT_EQ(screen.view.folderRows()[0], row.data());
    EXPECT_EQ(screen.view.folderRows().size(), screen.state.scanSnapshot()->buckets.size());
    EXPECT_EQ(screen.rowIDs()[0], screen.state.scanSnapshot()->buckets[0].path);
}

// A selection that the shown scan does not hold is none: after a drill-down or a drill-up no tile
// is dimmed for it and the inspector and the map agree. One the new scan holds stays.
TEST(StorageView, ANewScanDropsASelectionItDoesNotHold) {
    ScreenFixture screen;
    screen.scanAndWait();
    const std::filesystem::path root = screen.state.scanRoot();
    auto scanned = [&] {
        return QTest::qWaitFor([&] { return !screen.state.isScanning() && screen.view.body() == StorageView::Body::results; }, 10000);
    };
    auto highlightedRows = [&] {
        int count = 0;
        for (RankedRow* row : screen.view.folderRows()) count += row->isHighlighted();
        return count;
    };
    screen.view.selection().setID(screen.bucketNamed("Music").path);
    screen.state.startScan();  // the same folder again: Music is still there
    ASSERT_TRUE(scanned());
    EXPECT_EQ(screen.view.selection().id(), (root / "Music").string());
    EXPECT_EQ(screen.view.inspector()->bucket()->name(), "Music");

    screen.view.focus(screen.bucketNamed("Videos"));
    ASSERT_TRUE(scanned());
    ASSERT_EQ(screen.state.scanSnapshot()->rootPath, root / "Videos");
    EXPECT_FALSE(screen.view.selection().id().has_value());
    EXPECT_EQ(screen.view.inspector()->bucket()->path, screen.state.scanSnapshot()->buckets.front().path);
    EXPECT_EQ(highlightedRows(), 0);

    // Going up drops the selection, and a click on a row still waiting for a double click when
    // the parent's results come lands on nothing.
    screen.view.selection().setID(screen.bucketNamed("clips").path);
    emit screen.view.folderRows()[screen.rowIndex("Holiday 2019.mkv")]->clicked();
    screen.view.goToParentFolder();
    ASSERT_TRUE(scanned());
    screen.view.pendingRowClick().settle();
    ASSERT_EQ(screen.state.scanSnapshot()->rootPath, root);
    EXPECT_FALSE(screen.view.selection().id().has_value());
    EXPECT_EQ(screen.view.inspector()->bucket()->name(), "Videos");
}

TEST(StorageView, AFolderMenuSurvivesThePageBeingRebuiltUnderIt) {
    ScreenFixture screen;
    screen.scanAndWait();
    QPointer<RankedRow> row = screen.view.folderRows().front();
    // Once the menu runs: the folder changes, then, after the page's update it brings (queued
    // before), the menu closes.
    QTimer::singleShot(0, &screen.state, [&] {
        screen.state.setScanRoot(screen.tree.root() / "Videos");
        QTimer::singleShot(0, [] {
            if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
        });
    });
    emit row->customContextMenuRequested(QPoint(4, 4));
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_FALSE(screen.state.isScanning());  // closing the menu chose nothing
}

TEST(StorageView, AFolderMenuActsOnItsFolderWhenANewScanRelabelsTheRow) {
    ScreenFixture screen;
    screen.scanAndWait();
    const std::filesystem::path root = screen.state.scanRoot();
    RankedRow* row = screen.view.folderRows().front();
    ASSERT_EQ(screen.rowIDs().front(), screen.bucketNamed("Videos").path);
    // While the menu is open a scan of Videos ends and the first row now shows one of its folders;
    // the menu's "Scan this folder" still means Videos.
    QTimer::singleShot(0, &screen.state, [&] {
        screen.state.setScanRoot(root / "Videos");
        screen.state.startScan();
        const bool shown = QTest::qWaitFor([&] { return !screen.state.isScanning() && screen.view.body() == StorageView::Body::results; }, 10000);
        EXPECT_TRUE(shown);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        for (QAction* action : menu->actions())
            if (action->text() == AppLocalization::string("storage.focus")) menu->setActiveAction(action);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    emit row->customContextMenuRequested(QPoint(4, 4));
    EXPECT_NE(screen.rowIDs().front(), (root / "Videos").string());
    EXPECT_TRUE(screen.state.isScanning());  // the menu's choice started a scan
    EXPECT_EQ(screen.state.scanRoot(), root / "Videos");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !screen.state.isScanning(); }, 10000));
}

TEST(StorageView, ParentFolderActsOnTheFolderShown) {
    ScreenFixture screen;
    screen.state.setScanRoot(screen.tree.root() / "Projects");
    screen.scanAndWait();
    // The user picks another folder but does not scan it yet: the results still show Projects.
    screen.state.setScanRoot(screen.tree.root() / "Music" / "album");
    ASSERT_TRUE(screen.view.offersParentFolder());
    screen.view.goToParentFolder();
    EXPECT_EQ(screen.state.scanRoot(), screen.tree.root());  // the parent of Projects, not of album
    ASSERT_TRUE(QTest::qWaitFor([&] { return !screen.state.isScanning(); }, 10000));
    EXPECT_EQ(screen.state.scanSnapshot()->rootPath, screen.tree.root());
}

TEST(StorageView, MapModesShareTheSelection) {
    ScreenFixture screen;
    screen.scanAndWait();
    StorageMapCard* card = screen.view.mapCard();
    screen.view.selection().setID(screen.bucketNamed("Projects").path);
    card->setMode(StorageMapMode::folders);
    auto* folders = dynamic_cast<FolderMapView*>(card->map());
    ASSERT_NE(folders, nullptr);
    ASSERT_EQ(folders->cards().size(), 12u);
    int selected = 0;
    for (FolderCard* folderCard : folders->cards()) selected += folderCard->isSelected();
    EXPECT_EQ(selected, 1);
    screen.view.setFilter("zzz");  // no match: the folder map shows its empty state, not an empty grid
    EXPECT_TRUE(folders->cards().empty());
    screen.view.setFilter({});
    card->setMode(StorageMapMode::threeD);
    auto* boxes = dynamic_cast<StorageMap3DView*>(card->map());
    ASSERT_NE(boxes, nullptr);
    EXPECT_EQ(boxes->boxes().size(), 12u);
    EXPECT_TRUE(card->resetButton()->isVisible());
}

TEST(StorageView, ScanErrorAlertShowsThePathAsPlainTextAndClearsOnDismissal) {
    ScreenFixture screen;
    // A file where a folder is expected fails for everyone, root included.
    const std::filesystem::path odd = screen.tree.file("<i>odd</i>.txt", 10);
    screen.state.setScanRoot(odd);
    screen.state.startScan();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !screen.state.isScanning(); }, 10000));
    ASSERT_TRUE(screen.state.scanError().has_value());
    QMessageBox* alert = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (alert = screen.view.findChild<QMessageBox*>()) != nullptr; }, 2000));
    EXPECT_EQ(alert->textFormat(), Qt::PlainText);
    EXPECT_TRUE(alert->text().contains(PathText::display(odd)));
    alert->buttons().front()->click();
    EXPECT_FALSE(screen.state.scanError().has_value());
}

TEST(StorageView, ReturnStartsFromTheSetupCardAndEscapeCancels) {
    ScreenFixture screen;
    *screen.tree.holdScans = true;
    QApplication::setActiveWindow(&screen.view);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&screen.view));
    QTest::keyClick(&screen.view, Qt::Key_Return);
    ASSERT_TRUE(screen.state.isScanning());
    EXPECT_TRUE(screen.showsPage(StorageView::Body::scanning));
    QTest::keyClick(&screen.view, Qt::Key_Escape);
    EXPECT_FALSE(screen.state.isScanning());
    EXPECT_TRUE(screen.showsPage(StorageView::Body::setup));  // no earlier results: the setup card again
    *screen.tree.holdScans = false;
}

// Whoever starts measuring when a scan is announced finds that scan's counts, not the last one's:
// the speed sampler's first interval of a rescan is measured from zero.
TEST(StorageView, ARescanIsAnnouncedWithItsProgressAtZero) {
    ScreenFixture screen;
    screen.scanAndWait();
    ASSERT_GT(screen.state.scanProgress()->bytesSeen, 0);
    std::optional<std::int64_t> seenAtStart;
    QObject::connect(&screen.state, &AppState::isScanningChanged, &screen.view, [&] {
        if (screen.state.isScanning()) seenAtStart = screen.state.scanProgress()->bytesSeen;
    });
    *screen.tree.holdScans = true;
    screen.state.startScan();
    EXPECT_EQ(seenAtStart, 0);
    screen.state.cancelScan();
    *screen.tree.holdScans = false;
}

// The empty folder list says why it is empty: a scan that found nothing, or a filter that matches nothing.
TEST(StorageView, TheEmptyFolderListSaysWhyItIsEmpty) {
    ScreenFixture screen;
    auto shownDetails = [&] {
        QStringList details;
        for (const NoFoldersState* state : screen.view.findChildren<NoFoldersState*>())
            if (state->isVisibleTo(&screen.view)) details << state->detail();
        return details;
    };
    std::filesystem::create_directory(screen.tree.root() / "Nothing");
    screen.state.setScanRoot(screen.tree.root() / "Nothing");
    screen.scanAndWait();
    const QString scanEmpty = AppLocalization::string("storage.noFolders.emptyScan");
    EXPECT_EQ(shownDetails(), QStringList{scanEmpty});
    screen.view.mapCard()->setMode(StorageMapMode::folders);
    QCoreApplication::processEvents();  // a map put into a shown card shows on the next turn
    EXPECT_EQ(shownDetails(), (QStringList{scanEmpty, scanEmpty}));

    screen.state.setScanRoot(screen.tree.root());
    screen.scanAndWait();
    EXPECT_TRUE(shownDetails().isEmpty());
    screen.view.setFilter("zzz");
    const QString filtered = AppLocalization::string("storage.noFolders.detail");
    EXPECT_EQ(shownDetails(), (QStringList{filtered, filtered}));
}

// The location pill's path, the scanning card's current path and the inspector's path can be
// selected and copied whole, also when they are shown elided.
TEST(StorageView, PathsAreSelectableAndCopiedWhole) {
    ScreenFixture screen;
    auto copyOf = [&](const char* name) {
        auto* label = screen.view.findChild<TextLabel*>(name);
        if (!label) return QStringLiteral("<missing>");
        QGuiApplication::clipboard()->clear();
        QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(4, label->height() / 2));
        auto* selection = label->findChild<TextSelection*>();
        if (!selection || !selection->isSelected()) return QStringLiteral("<not selected>");
        QTest::keySequence(label, QKeySequence::Copy);
        return QGuiApplication::clipboard()->text();
    };
    QApplication::setActiveWindow(&screen.view);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&screen.view));
    *screen.tree.holdScans = true;
    screen.state.startScan();
    ASSERT_TRUE(screen.showsPage(StorageView::Body::scanning));
    EXPECT_EQ(copyOf("currentPath"), PathText::display(std::string_view(screen.state.scanProgress()->path)));
    *screen.tree.holdScans = false;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !screen.state.isScanning(); }, 10000));
    ASSERT_TRUE(screen.showsPage(StorageView::Body::results));

    EXPECT_EQ(copyOf("locationPath"), PathText::display(screen.tree.root()));
    screen.view.selection().setID(screen.bucketNamed("Videos").path);
    EXPECT_EQ(copyOf("inspectorPath"), PathText::display(screen.bucketNamed("Videos").path));
    // Another click elsewhere takes the focus and the selection with it.
    auto* pill = screen.view.findChild<TextLabel*>("locationPath");
    QTest::mouseClick(pill, Qt::LeftButton);
    EXPECT_FALSE(screen.view.findChild<TextLabel*>("inspectorPath")->findChild<TextSelection*>()->isSelected());
}

// A folder row is one button for assistive technology: its default action selects, a named action
// focuses; a largest-file row's default action reveals.
TEST(StorageView, RowsAreButtonsForAssistiveTechnology) {
    ScreenFixture screen;
    screen.scanAndWait();
    RankedRow* row = screen.view.folderRows()[screen.rowIndex("Videos")];
    QAccessibleInterface* element = QAccessible::queryAccessibleInterface(row);
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(element->role(), QAccessible::Button);
    EXPECT_EQ(element->childCount(), 0);
    EXPECT_TRUE(element->text(QAccessible::Name).startsWith("Videos, ")) << element->text(QAccessible::Name).toStdString();
    QAccessibleActionInterface* actions = element->actionInterface();
    ASSERT_NE(actions, nullptr);
    const QString focusName = AppLocalization::string("storage.focus");
    EXPECT_EQ(actions->actionNames(), (QStringList{QAccessibleActionInterface::pressAction(), focusName}));
    actions->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(screen.view.selection().id(), screen.bucketNamed("Videos").path);  // at once, no double-click wait
    const std::filesystem::path videos = screen.bucketNamed("Videos").path;
    actions->doAction(focusName);
    EXPECT_EQ(screen.state.scanRoot(), videos);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !screen.state.isScanning(); }, 10000));
    ASSERT_TRUE(screen.showsPage(StorageView::Body::results));
    QCoreApplication::processEvents();

    std::vector<RankedRow*> fileRows;
    const auto folderRows = screen.view.folderRows();
    for (RankedRow* candidate : screen.view.findChildren<RankedRow*>())
        if (candidate->isVisibleTo(&screen.view) && std::find(folderRows.begin(), folderRows.end(), candidate) == folderRows.end())
            fileRows.push_back(candidate);
    ASSERT_FALSE(fileRows.empty());
    QAccessibleInterface* file = QAccessible::queryAccessibleInterface(fileRows.front());
    EXPECT_EQ(file->role(), QAccessible::Button);
    EXPECT_EQ(file->actionInterface()->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
}

// The map area is cut to its rounded rectangle: a scroll bar of the folder map does not draw a
// square corner over the round one.
TEST(StorageView, TheMapAreaKeepsItsRoundedCorners) {
    ScreenFixture screen;
    screen.scanAndWait();
    screen.view.mapCard()->setMode(StorageMapMode::folders);
    auto* folders = dynamic_cast<FolderMapView*>(screen.view.mapCard()->map());
    ASSERT_NE(folders, nullptr);
    folders->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QWidget* area = folders->parentWidget();
    const QImage picture = area->grab().toImage();
    const QColor card = DS::card.resolved();
    const QColor corner = picture.pixelColor(picture.width() - 1, 0);
    EXPECT_EQ(corner.rgb(), card.rgb()) << corner.name().toStdString() << " " << card.name().toStdString();
    EXPECT_EQ(picture.pixelColor(picture.width() - 1, picture.height() - 1).rgb(), card.rgb());
    EXPECT_NE(picture.pixelColor(picture.width() - 4, picture.height() / 2).rgb(), card.rgb());  // the scroll bar itself
}

namespace {

bool rowSays(const LegendRow* row, const QString& text) {
    for (const TextLabel* label : row->findChildren<TextLabel*>())
        if (label->text() == text) return true;
    return false;
}

}  // namespace

// The blocks the file system keeps for root (ext4's 5 %) are shown apart: used is df's used, what
// the scan did not find beside it holds none of them, and available stays what the user can write.
TEST(StorageView, BlocksKeptForRootAreShownApartNeverAsOtherUsed) {
    ScanFixture tree;
    AppState state{tree.services()};
    const DiskCapacityService::Capacity capacity{512'000'000'000, 180'000'000'000, 205'000'000'000};
    StorageView view{state, DS::amber, [&] { return capacity; }};
    state.setScanRoot(tree.root());
    view.resize(1240, 1800);
    view.show();
    state.startScan();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !state.isScanning() && view.body() == StorageView::Body::results; }, 10000));
    auto* reserved = view.findChild<LegendRow*>("legendReserved");
    auto* other = view.findChild<LegendRow*>("legendOther");
    ASSERT_TRUE(reserved && other);
    EXPECT_TRUE(reserved->isVisible());
    EXPECT_TRUE(rowSays(reserved, ByteFormatting::string(25'000'000'000)));
    EXPECT_TRUE(rowSays(reserved, AppLocalization::string("storage.reserved")));
    EXPECT_TRUE(rowSays(other, ByteFormatting::string(307'000'000'000 - state.scanSnapshot()->totalSize)));
}
