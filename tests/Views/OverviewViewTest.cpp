#include "Views/DesignSystem/Banner.h"
#include "Models/AppLocalization.h"
#include "Models/ByteFormatting.h"
#include "Services/AppState.h"
#include "Views/Overview/CapacityBar.h"
#include "Views/Common/DashboardPage.h"
#include "Views/DesignSystem/RankedRow.h"
#include "Views/DesignSystem/StyledButton.h"
#include "Views/Overview/OverviewView.h"
#include "Views/Overview/QuickTile.h"
#include "Views/Overview/SystemNowCard.h"
#include "Platform/SettingsStore.h"
#include "Services/StorageHistoryService.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/DesignSystem/Ease.h"
#include "ViewSupport/ManualAnimationClock.h"
#include "ViewSupport/ScanFixture.h"
#include "ViewSupport/StorageFixtures.h"

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <limits>

using StorageFixtures::bucket;

namespace {

// The overview over the fixture tree, shown at the main window's size.
struct OverviewScreen {
    ScanFixture tree;
    AppState state{tree.services()};
    OverviewView view{state, [] { return StorageFixtures::fixedCapacity; }};

    OverviewScreen() {
        state.setScanRoot(tree.root());
        view.resize(1320, 900);
        view.show();
    }
};

}  // namespace

TEST(CapacityBar, SegmentsFollowTheTopFiveFolders) {
    // Bar 200 wide, volume 1000 with 200 free: 60, 30, 30, 10, then 4 (the minimum); the rest of the
    // used space, 800 - 670 = 130 bytes, is 26 wide; the 10-byte folder is not drawn.
    const std::vector<StorageBucket> buckets{bucket("a", 300), bucket("b", 150), bucket("c", 150), bucket("d", 50),
                                             bucket("f", 20),  bucket("e", 10)};
    const auto parts = CapacityBar::segments(buckets, 1000, 200, 200);
    ASSERT_EQ(parts.size(), 7u);
    const double widths[] = {60, 30, 30, 10, 4, 26};
    for (int i = 0; i < 6; ++i) EXPECT_DOUBLE_EQ(parts[std::size_t(i)].width, widths[i]) << i;
    EXPECT_EQ(parts[4].rank, 4);
    EXPECT_EQ(parts.back().rank, -2);
    // Folders larger than the used space still leave a rest of at least 4.
    EXPECT_DOUBLE_EQ(CapacityBar::segments({bucket("a", 900)}, 1000, 800, 200)[1].width, 4);
    // No scan, or no capacity: one used capsule of at least 6.
    const auto none = CapacityBar::segments({}, 0, 0, 200);
    ASSERT_EQ(none.size(), 2u);
    EXPECT_DOUBLE_EQ(none[0].width, 6);
    EXPECT_DOUBLE_EQ(CapacityBar::segments({}, 1000, 250, 200)[0].width, 150);
    // Blocks kept for root are neither used nor free: a part of their own before the free space.
    const auto reserving = CapacityBar::segments({bucket("a", 300)}, 1000, 250, 200, 50);
    ASSERT_EQ(reserving.size(), 4u);
    EXPECT_DOUBLE_EQ(reserving[1].width, 80);  // the rest: 1000 - 250 - 50 - 300
    EXPECT_EQ(reserving[2].rank, -3);
    EXPECT_DOUBLE_EQ(reserving[2].width, 10);
    EXPECT_EQ(CapacityBar::shapeOf(reserving).restOpacity, 0.45);
}

TEST(CapacityBar, ANewScanEasesTheBarFromWhatItShowedOnlyWhenTheScanTotalChanges) {
    ManualAnimationClock clock;
    CapacityBar bar;
    bar.resize(200, 12);
    bar.setFigures(nullptr, 1000, 200);
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    bar.grab();  // on screen: no scan yet, one used capsule 160 wide
    auto scan = std::make_shared<ScanSnapshot>();
    scan->totalSize = 500;
    scan->buckets = {bucket("a", 300), bucket("b", 150)};
    bar.setFigures(scan, 1000, 200);
    EXPECT_EQ(bar.ease().durationMs(), Ease::capacityBarMs);

    // Halfway through the time, the ease-out is further along than halfway.
    clock.advanceBy(Ease::capacityBarMs / 2);
    const double eased = Ease::out().valueForProgress(0.5);
    CapacityBar::Shape shown = bar.shownShape();
    EXPECT_NEAR(shown.width[0], eased * 60, 1e-9);  // the largest folder comes in from nothing
    EXPECT_NEAR(shown.width[1], eased * 30, 1e-9);
    EXPECT_NEAR(shown.width[CapacityBar::Shape::rest], 160 + eased * (70 - 160), 1e-9);  // the rest shrinks to 800 - 450
    EXPECT_NEAR(shown.restOpacity, 1 + eased * (0.45 - 1), 1e-9);
    EXPECT_NEAR(shown.presence[0], eased, 1e-9);
    bar.grab();
    clock.advanceBy(Ease::capacityBarMs / 2);
    EXPECT_FALSE(bar.ease().isRunning());
    shown = bar.shownShape();
    const CapacityBar::Shape target = CapacityBar::shapeOf(CapacityBar::segments(scan->buckets, 1000, 200, 200));
    EXPECT_EQ(shown.width, target.width);
    EXPECT_EQ(shown.presence, target.presence);
    EXPECT_EQ(shown.restOpacity, 0.45);
    bar.grab();

    // The volume's own figures follow at once; the same scan total does not ease.
    bar.setFigures(scan, 1000, 100);
    EXPECT_FALSE(bar.ease().isRunning());
    EXPECT_EQ(bar.shownShape().width[CapacityBar::Shape::rest], 90);
    // A scan that goes away eases back to the single capsule.
    bar.setFigures(nullptr, 1000, 100);
    EXPECT_TRUE(bar.ease().isRunning());
    clock.advanceBy(Ease::capacityBarMs);
    EXPECT_EQ(bar.shownShape().width[0], 0);
    EXPECT_EQ(bar.shownShape().width[CapacityBar::Shape::rest], 180);
}

TEST(SystemNowCard, NetworkFigureSaturatesInsteadOfWrapping) {
    SystemMetrics metrics;
    metrics.networkDownPerSecond = 1500;
    metrics.networkUpPerSecond = 500;
    EXPECT_EQ(SystemNowCard::networkText(metrics), ByteFormatting::string(std::int64_t(2000)) + "/s");
    metrics.networkDownPerSecond = std::numeric_limits<std::uint64_t>::max() - 10;
    metrics.networkUpPerSecond = 100;  // the plain sum would wrap to 89 bytes
    EXPECT_EQ(SystemNowCard::networkText(metrics), ByteFormatting::string(std::numeric_limits<std::int64_t>::max()) + "/s");
}

TEST(OverviewView, ScanButtonsNavigateAndStartOnlyWhenIdleAndResultsFitTheSmallestWindow) {
    OverviewScreen screen;
    OverviewView& view = screen.view;
    AppState& state = screen.state;
    auto* prompt = view.findChild<StyledButton*>("promptScan");
    ASSERT_NE(prompt, nullptr);
    // Held, so that the scan cannot end before the page follows it on the next turn.
    *screen.tree.holdScans = true;
    QTest::mouseClick(prompt, Qt::LeftButton);
    EXPECT_EQ(state.selectedSection(), AppSection::storage);
    EXPECT_TRUE(state.isScanning());
    // While it runs the storage card's button is disabled and reads "Scanning…".
    auto* scan = view.findChild<StyledButton*>("overviewScan");
    ASSERT_NE(scan, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !scan->isEnabled(); }, 2000));
    EXPECT_EQ(scan->text(), AppLocalization::string("scan.scanning"));
    EXPECT_TRUE(state.isScanning());
    *screen.tree.holdScans = false;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !state.isScanning(); }, 10000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return scan->isEnabled(); }, 2000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !prompt->isVisible(); }, 2000));  // results replace the prompt
    // The page fits the main window's smallest content width without scrolling sideways.
    EXPECT_LE(view.findChild<DashboardPage*>()->widget()->minimumSizeHint().width(), 1080 - 20);

    // A quick tile only navigates.
    for (QuickTile* tile : view.findChildren<QuickTile*>()) {
        if (tile->section() != AppSection::tools) continue;
        QTest::mouseClick(tile, Qt::LeftButton, {}, tile->rect().center());
    }
    EXPECT_EQ(state.selectedSection(), AppSection::tools);
    EXPECT_FALSE(state.isScanning());
}

TEST(OverviewView, AFolderMenuSurvivesThePageBeingRebuiltUnderIt) {
    OverviewScreen screen;
    screen.state.startScan();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !screen.state.isScanning(); }, 10000));
    QPointer<RankedRow> row = screen.view.findChild<RankedRow*>();
    ASSERT_TRUE(row);

    // While the menu is open the scan folder changes and the page updates under it.
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
    EXPECT_FALSE(row.isNull());  // updated in place, not rebuilt
}

// After a relaunch, with no result of this launch, the row holds the scan prompt alone at its own
// height (no "Recent scan" card leads to a map that has nothing to show), and the last scan reads
// "Never" beside it, not the stored history's date, which would contradict the prompt.
TEST(OverviewView, AfterARelaunchTheLastScanSaysNeverBesideThePromptStandingAlone) {
    const StorageHistoryService::Sources sources{[] { return StorageFixtures::fixedCapacity; }, [] { return Instant::fromReferenceSeconds(800'000'000); },
                                                 [] { return QTimeZone::utc(); }};
    auto textsOf = [](const QWidget& widget) {
        QStringList texts;
        for (const TextLabel* label : widget.findChildren<TextLabel*>())
            if (label->isVisibleTo(&widget)) texts << label->text();
        return texts;
    };
    ScanFixture tree;
    {
        StorageHistoryService earlierLaunch(sources);
        ScanSnapshot scan;
        scan.rootPath = tree.root() / "Projects";
        scan.totalSize = 7'300'000'000;
        scan.fileCount = 1'234;
        scan.scannedAt = Instant::fromReferenceSeconds(800'000'000 - 3600);
        earlierLaunch.record(scan);
    }
    AppServices services = tree.services();
    services.storageHistory = std::make_unique<StorageHistoryService>(sources);
    AppState state(std::move(services));
    OverviewView view(state, [] { return StorageFixtures::fixedCapacity; });
    view.resize(1320, 880);
    view.show();
    QCoreApplication::processEvents();
    const QStringList texts = textsOf(view);
    EXPECT_TRUE(texts.contains(AppLocalization::string("overview.never"))) << texts.join(" | ").toStdString();
    EXPECT_FALSE(texts.contains(AppLocalization::string("overview.recentScan"))) << texts.join(" | ").toStdString();
    EXPECT_FALSE(texts.contains("Projects"));
    auto* prompt = view.findChild<StyledButton*>("promptScan");
    ASSERT_NE(prompt, nullptr);
    ASSERT_TRUE(prompt->isVisibleTo(&view));  // nothing scanned in this launch yet
    QWidget* banner = prompt->parentWidget();
    while (banner && !qobject_cast<Banner*>(banner)) banner = banner->parentWidget();
    ASSERT_NE(banner, nullptr);
    const int natural = banner->hasHeightForWidth() ? banner->heightForWidth(banner->width()) : banner->sizeHint().height();
    EXPECT_LE(banner->height(), natural + 1);

    // This launch's scan brings the card back, with this scan's figures.
    state.startScan();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !state.isScanning(); }, 10000));
    QCoreApplication::processEvents();
    EXPECT_TRUE(textsOf(view).contains(AppLocalization::string("overview.recentScan")));
    EXPECT_FALSE(textsOf(view).contains(AppLocalization::string("overview.never")));
    EXPECT_FALSE(prompt->isVisibleTo(&view));
    for (const char* key : {"storageHistory.v1", "scanHistory.v1"}) SettingsStore::shared().remove(key);
}
