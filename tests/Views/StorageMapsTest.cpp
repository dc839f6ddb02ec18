#include "Models/ByteFormatting.h"
#include "Models/DisplayText.h"
#include "Views/Storage/BucketSelection.h"
#include "Views/Common/FileActions.h"
#include "Views/Storage/StorageMap3DView.h"
#include "Views/Storage/StorageRankPalette.h"
#include "Views/Storage/StorageRibbon.h"
#include "Views/Storage/TreemapView.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Ease.h"
#include "ViewSupport/ManualAnimationClock.h"
#include "ViewSupport/StorageFixtures.h"

#include <QTest>

#include <QAccessible>

#include <gtest/gtest.h>

#include <set>

using StorageFixtures::bucket;
using StorageFixtures::pointersTo;

namespace {

std::vector<StorageBucket> numbered(int count) {
    std::vector<StorageBucket> items;
    for (int i = 0; i < count; ++i) items.push_back(bucket("f" + std::to_string(i), 1000 - i, 2));
    return items;
}

}  // namespace

TEST(StorageRankPalette, EightLargestGetRankColoursOthersGray) {
    const std::vector<StorageBucket> items = numbered(10);  // largest first, as a snapshot holds them
    const StorageRankPalette palette(items);
    EXPECT_EQ(palette.colors().size(), 8u);
    EXPECT_EQ(palette.color("/home/ana/f0"), DS::amber);
    EXPECT_EQ(palette.color("/home/ana/f7"), DS::cyan);
    EXPECT_EQ(palette.color("/home/ana/f8"), DS::gray);
    EXPECT_EQ(palette.color("/nowhere"), DS::gray);
}

TEST(TreemapView, TwentyEightTilesAndTheOtherTile) {
    EXPECT_TRUE(TreemapView::tiles({}).empty());
    const std::vector<StorageBucket> empty{bucket("a", 0), bucket("b", -5)};
    EXPECT_TRUE(TreemapView::tiles(pointersTo(empty)).empty());
    const std::vector<StorageBucket> twentyEight = numbered(28);
    auto exactly = TreemapView::tiles(pointersTo(twentyEight));
    ASSERT_EQ(exactly.size(), 28u);
    EXPECT_NE(exactly.back().path, TreemapView::otherID);

    std::vector<StorageBucket> items = numbered(29);
    items.push_back(bucket("empty", 0));  // not counted among the rest
    std::swap(items[0], items[20]);  // the map sorts by itself
    auto merged = TreemapView::tiles(pointersTo(items));
    ASSERT_EQ(merged.size(), 28u);
    const StorageBucket& other = merged.back();
    EXPECT_EQ(other.path, TreemapView::otherID);
    EXPECT_EQ(other.size, (1000 - 27) + (1000 - 28));
    EXPECT_EQ(other.fileCount, 4);
    TreemapView view(nullptr, {});
    view.setItems(pointersTo(items), 30000, StorageRankPalette(items));
    EXPECT_NE(view.nameOf(other).indexOf('2'), -1);  // "2 others"
    // Its location is the folder that holds the largest tile, not its identifier.
    EXPECT_EQ(view.locationOf(other), DisplayText::path(QStringLiteral("/home/ana")));
    EXPECT_EQ(view.locationOf(merged.front()), DisplayText::path(QStringLiteral("/home/ana/f0")));
}

// Each tile is a button for assistive technology, labelled with its name and size.
TEST(TreemapView, EveryTileIsAButtonLabelledWithItsNameAndSize) {
    TreemapView view(nullptr, {});
    view.resize(600, 400);
    std::vector<StorageBucket> items = numbered(30);
    view.setItems(pointersTo(items), 40000, StorageRankPalette(items));
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    QAccessibleInterface* map = QAccessible::queryAccessibleInterface(&view);
    ASSERT_NE(map, nullptr);
    ASSERT_EQ(map->childCount(), 28);
    std::set<QString> labels;
    for (int i = 0; i < map->childCount(); ++i) {
        QAccessibleInterface* tile = map->child(i);
        ASSERT_NE(tile, nullptr);
        EXPECT_EQ(tile->role(), QAccessible::Button);
        EXPECT_EQ(map->indexOfChild(tile), i);
        EXPECT_EQ(tile->parent(), map);
        const StorageBucket& bucket = view.cells()[std::size_t(i)].first;
        EXPECT_EQ(tile->text(QAccessible::Name), view.nameOf(bucket) + ", " + ByteFormatting::string(bucket.size));
        labels.insert(tile->text(QAccessible::Name));
    }
    EXPECT_EQ(labels.size(), 28u);
    EXPECT_TRUE(labels.contains("f0, " + ByteFormatting::string(std::int64_t(1000))));

    // A new list: the tiles that remain are the same elements, the others are gone.
    auto tileOf = [&](const std::string& path) -> QAccessibleInterface* {
        for (std::size_t i = 0; i < view.cells().size(); ++i)
            if (view.cells()[i].first.path == path) return map->child(int(i));
        return nullptr;
    };
    QAccessibleInterface* largest = tileOf(items[0].path);
    QAccessibleInterface* other = tileOf(TreemapView::otherID);
    ASSERT_NE(largest, nullptr);
    ASSERT_NE(other, nullptr);
    items.resize(3);
    view.setItems(pointersTo(items), 40000, StorageRankPalette(items));
    EXPECT_EQ(map->childCount(), 3);
    EXPECT_EQ(tileOf(items[0].path), largest);
    EXPECT_TRUE(largest->isValid());
    EXPECT_FALSE(other->isValid());
}

TEST(TreemapView, ClicksSelectDoubleClicksFocusAndTheOtherTileDoesNeither) {
    BucketSelection selection;
    std::vector<StorageBucket> focused;
    TreemapView view(&selection, [&](const StorageBucket& b) { focused.push_back(b); });
    view.resize(600, 400);
    std::vector<StorageBucket> items = numbered(31);
    view.setItems(pointersTo(items), 40000, StorageRankPalette(items));
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    const auto cells = view.cells();
    ASSERT_EQ(cells.size(), 28u);
    auto centreOf = [&](const std::string& id) {
        for (const auto& [tile, cell] : cells)
            if (tile.path == id) return cell.center().toPoint();
        ADD_FAILURE() << id;
        return QPoint();
    };
    const QPoint first = centreOf(items[0].path);
    QTest::mouseClick(&view, Qt::LeftButton, {}, first);
    EXPECT_FALSE(selection.id().has_value());  // waits for a possible double click
    view.pendingClick().settle();
    EXPECT_EQ(selection.id(), items[0].path);

    // Focus is offered for real folders only; these paths do not exist.
    QTest::mouseDClick(&view, Qt::LeftButton, {}, first);
    ASSERT_EQ(focused.size(), 1u);
    EXPECT_EQ(focused[0].path, items[0].path);

    // The other tile stands for the four smallest, so here it is the largest tile.
    const QPoint otherPoint = centreOf(TreemapView::otherID);
    QTest::mouseClick(&view, Qt::LeftButton, {}, otherPoint);
    QTest::mouseDClick(&view, Qt::LeftButton, {}, otherPoint);
    view.pendingClick().settle();
    EXPECT_EQ(selection.id(), items[0].path);
    EXPECT_EQ(focused.size(), 1u);

    // Hovering the other tile describes it, without the double-click hint.
    QTest::mouseMove(&view, otherPoint);
    EXPECT_EQ(view.hoveredID(), std::string(TreemapView::otherID));
    EXPECT_FALSE(view.hoverStripRect().isEmpty());
    EXPECT_TRUE(view.hoverStripText().endsWith('|'));
}

TEST(TreemapView, TheHoverStripComesUpFromTheBottomEdgeFadingInAndGoesBackDown) {
    ManualAnimationClock clock;
    TreemapView view(nullptr, [](const StorageBucket&) {});
    view.resize(600, 400);
    std::vector<StorageBucket> items = numbered(3);
    view.setItems(pointersTo(items), 3000, StorageRankPalette(items));
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    const double halfway = Ease::out().valueForProgress(0.5);
    EXPECT_EQ(view.hoverEase().durationMs(), Ease::hoverMs);

    QTest::mouseMove(&view, view.cells()[0].second.center().toPoint());
    const QRectF rest = view.hoverStripRect();
    ASSERT_FALSE(rest.isEmpty());
    clock.advanceBy(Ease::hoverMs / 2);
    EXPECT_NEAR(view.stripPresence(), halfway, 1e-9);
    EXPECT_NEAR(view.shownStripRect().top(), rest.top() + (1 - halfway) * (400 - rest.top()), 1e-6);
    // Moving on to the next tile changes what the strip says, not where it is going.
    QTest::mouseMove(&view, view.cells()[1].second.center().toPoint());
    EXPECT_NEAR(view.stripPresence(), halfway, 1e-9);
    clock.advanceBy(Ease::hoverMs);
    EXPECT_FALSE(view.hoverEase().isRunning());
    EXPECT_EQ(view.stripPresence(), 1);
    EXPECT_EQ(view.shownStripRect(), view.hoverStripRect());
    const QRectF secondRest = view.hoverStripRect();

    // Off the tiles: the strip goes down and out still saying what it said, then is gone.
    QTest::mouseMove(&view, QPoint(1, 1));
    EXPECT_EQ(view.hoverStripText(), "");
    clock.advanceBy(Ease::hoverMs / 2);
    EXPECT_NEAR(view.stripPresence(), 1 - halfway, 1e-9);
    const QRectF leaving = view.shownStripRect();
    EXPECT_EQ(leaving.left(), secondRest.left());
    EXPECT_EQ(leaving.width(), secondRest.width());
    EXPECT_NEAR(leaving.top(), secondRest.top() + halfway * (400 - secondRest.top()), 1e-6);
    clock.advanceBy(Ease::hoverMs);
    EXPECT_EQ(view.stripPresence(), 0);
    EXPECT_TRUE(view.shownStripRect().isEmpty());
}

TEST(TreemapView, RightToLeftMirrorsTheLayout) {
    BucketSelection selection;
    TreemapView view(&selection, {});
    view.resize(500, 300);
    std::vector<StorageBucket> items{bucket("big", 300), bucket("small", 100)};
    view.setItems(pointersTo(items), 400, StorageRankPalette(items));
    EXPECT_EQ(view.cells().front().second.left(), 0);
    view.setLayoutDirection(Qt::RightToLeft);
    EXPECT_EQ(view.cells().front().second.right(), 500);
}

TEST(StorageRibbon, WidthsAndTheGrayRest) {
    // Room after one 2-point gap per segment, shared by size of the total, never below 3.
    auto widths = StorageRibbon::segmentWidths({500, 250, 0}, 1000, 406);
    ASSERT_EQ(widths.size(), 3u);
    EXPECT_DOUBLE_EQ(widths[0], 200);
    EXPECT_DOUBLE_EQ(widths[1], 100);
    EXPECT_DOUBLE_EQ(widths[2], 3);
    auto empty = StorageRibbon::segmentWidths({0, 0}, 1, 100);
    EXPECT_DOUBLE_EQ(empty[0], 3);

    BucketSelection selection;
    StorageRibbon ribbon(&selection);
    ribbon.resize(600, ribbon.sizeHint().height());
    auto eight = numbered(8);
    ribbon.setBuckets(eight, 8000, StorageRankPalette(eight));
    EXPECT_EQ(ribbon.segments().size(), 8u);  // no rest
    EXPECT_EQ(ribbon.legendItems().size(), 5u);
    auto ten = numbered(10);
    ribbon.setBuckets(ten, 10000, StorageRankPalette(ten));
    auto segments = ribbon.segments();
    ASSERT_EQ(segments.size(), 9u);
    EXPECT_TRUE(segments.back().bucket.path.empty());

    // Selecting an entry in the gray rest dims every segment; clicking a segment selects it.
    selection.setID(ten[9].path);  // hidden, so no fade runs
    for (std::size_t i = 0; i < 8; ++i) EXPECT_DOUBLE_EQ(ribbon.segments()[i].opacity, 0.35);
    ribbon.show();
    QTest::mouseClick(&ribbon, Qt::LeftButton, {}, ribbon.segments()[2].rect.center().toPoint());
    EXPECT_EQ(selection.id(), ten[2].path);
    QTest::mouseClick(&ribbon, Qt::LeftButton, {}, ribbon.legendItems()[1].second.center().toPoint());
    EXPECT_EQ(selection.id(), ten[1].path);
}

TEST(StorageMap3DView, ClicksSelectAndClearDoubleClickOpensAndResetGoesHome) {
    ManualAnimationClock clock;
    std::vector<QUrl> opened;
    FileActions::setDesktop({[&](const QUrl& url) { opened.push_back(url); return true; },
                             [](const std::filesystem::path&, std::function<void(bool)> done) { done(false); }});
    BucketSelection selection;
    StorageMap3DView view(&selection);
    view.resize(800, 520);
    std::vector<StorageBucket> items{bucket("big", 300), bucket("small", 100)};
    view.load(items);
    view.show();
    ASSERT_EQ(view.boxes().size(), 2u);
    const auto top = view.project(view.boxes()[0].center + QVector3D(0, view.boxes()[0].height / 2, 0));
    ASSERT_TRUE(top.has_value());
    QTest::mouseClick(&view, Qt::LeftButton, {}, top->toPoint());
    EXPECT_EQ(selection.id(), items[0].path);
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(5, 5));  // empty space
    EXPECT_FALSE(selection.id().has_value());
    QTest::mouseDClick(&view, Qt::LeftButton, {}, top->toPoint());
    EXPECT_EQ(selection.id(), items[0].path);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].toString(), QString("file:///home/ana/big"));

    // The same items keep the user's camera; a reset token brings it home, animated.
    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(&view, QPoint(220, 140));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(220, 140));
    EXPECT_NE(view.camera(), OrbitCamera::home());
    view.load(items);
    EXPECT_NE(view.camera(), OrbitCamera::home());
    view.setResetToken(1);
    clock.advanceBy(100);
    EXPECT_NE(view.shownCamera(), OrbitCamera::home());
    clock.advanceBy(250);
    EXPECT_EQ(view.shownCamera(), OrbitCamera::home());
    FileActions::setDesktop({});
}
