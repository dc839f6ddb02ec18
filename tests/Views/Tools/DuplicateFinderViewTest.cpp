#include "Models/AppLocalization.h"
#include "Models/DisplayText.h"
#include "Platform/SettingsStore.h"
#include "Services/FileIntelligenceService.h"
#include "Support/BackupHome.h"
#include "Views/Common/PlainToolTip.h"
#include "Views/Common/TintedNotice.h"
#include "Views/DesignSystem/Banner.h"
#include "Views/DesignSystem/Fmt.h"
#include "Views/DesignSystem/Pill.h"
#include "Views/DesignSystem/StyledButton.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/DesignSystem/ThinBar.h"
#include "Views/Tools/DuplicateFinderView.h"
#include "Views/Tools/DuplicateGroupRow.h"
#include "Views/Tools/DuplicateProgressCard.h"
#include "Views/Tools/LazyRowStack.h"
#include "Views/Tools/ToolTexts.h"
#include "Views/Tools/ToolsEmptyCard.h"
#include "Views/Tools/ToolsItemRow.h"
#include "Views/Tools/ToolsTrashButton.h"
#include "Views/Tools/ToolCheckBox.h"
#include "Views/Tools/ToolsValueColumn.h"
#include "ViewSupport/ToolsFixture.h"
#include "ViewSupport/Clicks.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <cmath>
#include <fstream>

namespace {

// Clicks the centre of a widget once pending layouts have given it its size.
using Path = std::filesystem::path;

struct ShownFinder {
    explicit ShownFinder(AppState& state) : view(state, DynamicColor::primary()) {
        view.resize(1100, 800);
        view.show();
    }
    bool visible(QWidget* widget) const { return widget && widget->isVisibleTo(&view); }
    // Rows are made within a time budget per turn of the event loop: one not made yet is waited for.
    DuplicateGroupRow* row(std::size_t index) const {
        waitUntil([&] { return view.rows()->builtCount() > index; });
        return static_cast<DuplicateGroupRow*>(view.rows()->row(index));
    }
    DuplicateFinderView view;
};

std::vector<DuplicateGroup> twoGroups() {
    return {ToolsFixture::group("big", 2'000'000, {"/d/a/movie.mkv", "/d/b/movie.mkv"}),
            ToolsFixture::group("small", 500'000, {"/d/a/photo.jpg", "/d/b/photo.jpg", "/d/c/photo.jpg"})};
}

// `group` with the copies at `positions` listed with a second name, which a move leaves behind.
DuplicateGroup withLinkedCopies(DuplicateGroup group, std::initializer_list<std::size_t> positions) {
    static std::uint64_t inode = 1000;
    for (std::size_t index : positions) {
        FileIdentity identity;
        identity.inode = ++inode;  // each a file of its own, its other name elsewhere
        identity.links = 2;
        group.files[index].identity = identity;
        group.files[index].untickedReason = DuplicateGroup::untickedReason(group.files[index], false, std::nullopt);  // as the finder sets it
    }
    return group;
}

QStringList bannerTexts(const DuplicateFinderView& view) {
    QStringList texts;
    for (const TextLabel* label : view.banner()->findChildren<TextLabel*>()) texts << label->text();
    return texts;
}

}  // namespace

TEST(DuplicateFinderView, ShowsTheFourStatesOfASearch) {
    ToolsFixture fixture;
    ShownFinder shown(fixture.state());
    DuplicateFinderView& view = shown.view;

    // Idle, nothing found yet: folder and scan buttons, the not-yet-searched card.
    EXPECT_TRUE(shown.visible(view.scanButton()));
    EXPECT_FALSE(shown.visible(view.cancelButton()));
    EXPECT_FALSE(shown.visible(view.progressCard()));
    ASSERT_TRUE(shown.visible(view.emptyCard()));
    EXPECT_EQ(view.emptyCard()->titleText(), AppLocalization::string("duplicates.empty"));
    EXPECT_EQ(view.emptyCard()->detailText(), AppLocalization::string("duplicates.empty.detail"));
    EXPECT_FALSE(shown.visible(view.banner()));

    // Working, nothing found: the progress card alone.
    DuplicateCall& search = fixture.startDuplicates();
    EXPECT_FALSE(shown.visible(view.scanButton()));
    EXPECT_TRUE(shown.visible(view.cancelButton()));
    EXPECT_TRUE(shown.visible(view.progressCard()));
    EXPECT_EQ(view.emptyCard(), nullptr);
    EXPECT_FALSE(shown.visible(view.banner()));

    // Working, groups streaming in: progress, the banner without its button, the list.
    for (const DuplicateGroup& group : twoGroups()) search.foundGroup(group);
    search.progress({DuplicateScanPhase::comparing, "/d/b", 10, 20, 100, 200, 2});
    ASSERT_TRUE(waitUntil([&] { return fixture.state().duplicateGroups().size() == 2; }));
    EXPECT_TRUE(shown.visible(view.progressCard()));
    EXPECT_TRUE(shown.visible(view.banner()));
    EXPECT_FALSE(shown.visible(view.trashButton()));
    // The rows are made within a time budget per turn of the event loop: on a busy core the second may come a turn later.
    EXPECT_TRUE(waitUntil([&] { return view.rows()->builtCount() == 2; }));

    // Idle with groups: scan again, the banner with its button; every copy but the first ticked.
    search.succeed(twoGroups());
    ASSERT_TRUE(waitUntil([&] { return !fixture.state().isToolWorking(); }));
    EXPECT_TRUE(shown.visible(view.scanButton()));
    EXPECT_FALSE(shown.visible(view.progressCard()));
    EXPECT_TRUE(shown.visible(view.trashButton()));
    EXPECT_TRUE(view.trashButton()->isEnabled());
    EXPECT_EQ(view.reclaimable(), 2'000'000 + 1'000'000);
    EXPECT_EQ(view.selectedSize(), 3'000'000);

    // A completed search that found nothing says so.
    fixture.finishDuplicates({});
    ASSERT_TRUE(shown.visible(view.emptyCard()));
    EXPECT_EQ(view.emptyCard()->titleText(), AppLocalization::string("duplicates.empty.done"));

    // A cancelled search that found nothing reads as not searched, even after a completed one.
    fixture.startDuplicates();
    click(view.cancelButton());
    EXPECT_FALSE(fixture.state().isToolWorking());
    ASSERT_TRUE(shown.visible(view.emptyCard()));
    EXPECT_EQ(view.emptyCard()->titleText(), AppLocalization::string("duplicates.empty"));
}

// Files the search could not read are counted once it ends and named in the notice's tool tip; with
// no group found, the empty card no longer says every file is unique. A new search clears it.
TEST(DuplicateFinderView, FilesThatCouldNotBeReadAreCountedOnceTheSearchEnds) {
    ToolsFixture fixture;
    ShownFinder shown(fixture.state());
    EXPECT_FALSE(shown.visible(shown.view.notComparedNotice()));

    const std::vector<Path> unread{"/d/locked/a.iso", "/d/locked/b <i>.iso"};
    DuplicateCall& search = fixture.startDuplicates();
    for (const DuplicateGroup& group : twoGroups()) search.foundGroup(group);
    search.succeed(twoGroups(), unread);
    ASSERT_TRUE(waitUntil([&] { return !fixture.state().isToolWorking(); }));
    EXPECT_EQ(fixture.state().duplicatesNotCompared(), unread);
    ASSERT_TRUE(shown.visible(shown.view.notComparedNotice()));
    EXPECT_EQ(shown.view.notComparedText()->text(), AppLocalization::format("duplicates.notCompared", {qlonglong(2)}));
    EXPECT_TRUE(shown.view.notComparedText()->text().startsWith("2 files could not be read"));
    EXPECT_EQ(shown.view.notComparedNotice()->toolTip(), plainToolTip(DisplayText::path(unread[0]) + "\n" + DisplayText::path(unread[1])));
    EXPECT_TRUE(shown.visible(shown.view.banner()));

    fixture.finishDuplicates({}, {"/d/locked/a.iso"});
    ASSERT_TRUE(shown.visible(shown.view.emptyCard()));
    EXPECT_EQ(shown.view.emptyCard()->titleText(), AppLocalization::string("duplicates.empty.done"));
    EXPECT_EQ(shown.view.emptyCard()->detailText(), AppLocalization::string("duplicates.empty.done.notCompared"));
    EXPECT_TRUE(shown.view.notComparedText()->text().startsWith("1 file could not be read"));

    fixture.startDuplicates();
    EXPECT_TRUE(fixture.state().duplicatesNotCompared().empty());
    EXPECT_FALSE(shown.visible(shown.view.notComparedNotice()));
}

TEST(DuplicateFinderView, GroupsShowWasteScaledBarsAndTheirCopies) {
    ToolsFixture fixture;
    fixture.finishDuplicates({ToolsFixture::group("three", 1'000'000, {"/d/x/one", "/d/y/one", "/d/z/one"}), ToolsFixture::group("four", 4, {"/d/a", "/d/b"}),
                              ToolsFixture::group("one", 1, {"/d/c", "/d/e"})});
    ShownFinder shown(fixture.state());
    DuplicateGroupRow* three = shown.row(0);
    EXPECT_EQ(three->group().id, "three");
    EXPECT_EQ(three->findChild<ToolsValueColumn*>("groupValue")->value(), ToolTexts::bytes(2'000'000));  // two copies beyond the kept one
    EXPECT_EQ(three->findChild<TextLabel*>("groupTitle")->text(), "one");

    // Opening a group lists its copies; the first is kept: locked, never highlighted, never ticked by a click.
    EXPECT_EQ(three->copies(), nullptr);
    click(three->header());
    ASSERT_TRUE(three->isExpanded());
    const QList<ToolsItemRow*> copies = three->copies()->findChildren<ToolsItemRow*>();
    ASSERT_EQ(copies.size(), 3);
    EXPECT_TRUE(copies[0]->isLocked());
    EXPECT_FALSE(copies[1]->isLocked());
    EXPECT_FALSE(copies[0]->checkBox()->isEnabled());
    click(copies[0]);
    click(copies[0]->checkBox());
    EXPECT_FALSE(copies[0]->isOn());
    EXPECT_FALSE(copies[0]->isHighlighted());
    EXPECT_EQ(three->selectedCount(), 2);
    click(copies[1]);  // untick one
    EXPECT_EQ(three->selectedCount(), 1);
    EXPECT_EQ(three->selectionPillText(), AppLocalization::format("tools.selected", {QString("1")}));
    click(copies[2]);
    EXPECT_EQ(three->selectedCount(), 0);
    // The header opens and closes from the keyboard too.
    QTest::keyClick(three->header(), Qt::Key_Space);
    EXPECT_FALSE(three->isExpanded());
    QTest::keyClick(three->header(), Qt::Key_Return);
    EXPECT_TRUE(three->isExpanded());
    EXPECT_TRUE(three->selectionPillText().isEmpty());
    EXPECT_EQ(shown.view.selectedSize(), 4 + 1);
}

TEST(DuplicateFinderView, TheKeptCopyNeverCountsEvenWhenAnotherToolSelectedIt) {
    ToolsFixture fixture;
    fixture.finishDuplicates({ToolsFixture::group("g", 1000, {"/d/keep", "/d/copy"})});
    // Another tool left the kept copy's path in the shared selection.
    fixture.state().setSelectedToolItems({"/d/keep", "/elsewhere/other-tool-item"});
    ShownFinder shown(fixture.state());
    EXPECT_EQ(shown.view.selectedSize(), 0);
    EXPECT_EQ(shown.row(0)->selectedCount(), 0);
    EXPECT_TRUE(shown.row(0)->selectionPillText().isEmpty());
    EXPECT_FALSE(shown.view.trashButton()->isEnabled());
}

TEST(DuplicateFinderView, ProgressCardGaugeRules) {
    using Card = DuplicateProgressCard;
    DuplicateScanProgress progress{DuplicateScanPhase::indexing, "/d", 5, std::nullopt, 100, std::nullopt, 0};
    EXPECT_FALSE(Card::gauge(std::nullopt));
    EXPECT_FALSE(Card::gauge(progress));
    progress.totalFiles = 10;  // a file total without a byte total: still no gauge
    EXPECT_FALSE(Card::gauge(progress));
    EXPECT_EQ(Card::detail(progress), AppLocalization::format("duplicates.progress.indexing", {5, ToolTexts::bytes(100)}));
    const std::vector<StatItem> partial = Card::stats(progress, DynamicColor::primary());
    EXPECT_EQ(partial[0].value, QLocale::system().toString(5) + " / " + QLocale::system().toString(10));
    EXPECT_EQ(partial[1].value, ToolTexts::bytes(100));
    progress.totalBytes = 0;  // a known total of nothing: no gauge either
    EXPECT_FALSE(Card::gauge(progress));
    progress.totalBytes = 50;  // more read than the total: full
    EXPECT_DOUBLE_EQ(*Card::gauge(progress), 1.0);
    progress.bytesProcessed = -3;
    EXPECT_DOUBLE_EQ(*Card::gauge(progress), 0.0);
    EXPECT_DOUBLE_EQ(Card::clampedFraction(std::nan("")), 0.0);
    EXPECT_DOUBLE_EQ(Card::clampedFraction(0.25), 0.25);

    progress.bytesProcessed = 200;
    Card card(progress, DynamicColor::primary());
    EXPECT_EQ(card.percentText(), Fmt::percent(1.0));
    card.setProgress(std::nullopt);
    EXPECT_TRUE(card.percentText().isEmpty());
    EXPECT_EQ(Card::detail(std::nullopt), AppLocalization::string("duplicates.progress.preparing"));
    const std::vector<StatItem> none = Card::stats(std::nullopt, DynamicColor::primary());
    EXPECT_EQ(none[0].value, "0");
    EXPECT_EQ(none[1].value, ToolTexts::bytes(0));
    EXPECT_EQ(none[2].value, "0");
}

TEST(DuplicateFinderView, ANewSearchsBarStartsEmptyNotFromTheLastSearchsEnd) {
    // The card stays hidden between searches; the last one ended with its bar full.
    DuplicateScanProgress progress{DuplicateScanPhase::comparing, "/d", 10, 10, 100, 100, 0};
    DuplicateProgressCard card(progress, DynamicColor::primary());
    card.resize(600, 160);
    card.setProgress(std::nullopt);

    card.show();
    progress.filesProcessed = 0;
    progress.bytesProcessed = 0;
    card.setProgress(progress);
    QCoreApplication::processEvents();
    EXPECT_EQ(card.percentText(), Fmt::percent(0.0));
    ThinBar* bar = card.findChild<ThinBar*>();
    ASSERT_TRUE(bar && bar->isVisible());
    // Three quarters along the bar there is only track (unlike its leading dot), no fill easing down
    // from the old full bar.
    const QImage shown = bar->grab().toImage();
    const int middle = shown.height() / 2;
    EXPECT_NE(shown.pixelColor(shown.width() * 3 / 4, middle), shown.pixelColor(2, middle));
}

TEST(DuplicateFinderView, ConfirmationCancelMovesNothingAndConfirmMovesExactlyTheTickedCopies) {
    ToolsFixture fixture;
    fixture.finishDuplicates(twoGroups());
    fixture.state().setSelectedToolItems({"/d/b/movie.mkv", "/d/c/photo.jpg", "/d/a/photo.jpg" /* kept */, "/cleanup/x"});
    ShownFinder shown(fixture.state());

    click(shown.view.trashButton());
    ASSERT_NE(shown.view.confirmation(), nullptr);
    EXPECT_EQ(shown.view.confirmation()->informativeText(),
              AppLocalization::format("tools.trash.detail", {ToolTexts::bytes(2'500'000), ToolTexts::bytes(2'500'000)}));
    click(shown.view.confirmation()->findChild<QPushButton*>("cancelMove"));
    ASSERT_TRUE(settle(fixture.state(), fixture.fake));
    EXPECT_EQ(fixture.fake.moves.size(), 0u);

    click(shown.view.trashButton());
    ASSERT_NE(shown.view.confirmation(), nullptr);
    click(shown.view.confirmation()->findChild<QPushButton*>("confirmMove"));
    ASSERT_TRUE(waitUntil([&] { return fixture.fake.moves.size() == 1; }));
    EXPECT_EQ(fixture.fake.moves[0]->urls, (std::vector<Path>{"/d/b/movie.mkv", "/d/c/photo.jpg"}));
    fixture.fake.abandon.request_stop();
}

TEST(DuplicateFinderView, AfterAPartlyFailedMoveTheCopiesStillInPlaceStayListed) {
    QTemporaryDir dir;
    const Path root = dir.path().toStdString();
    auto make = [&](const std::string& name) {
        std::ofstream(root / name) << "same";
        return root / name;
    };
    const Path keep = make("keep.txt"), first = make("first.txt"), second = make("second.txt");
    ToolsFixture fixture;
    fixture.finishDuplicates({ToolsFixture::group("g", 4, {keep, first, second})});
    ShownFinder shown(fixture.state());
    fixture.state().trashSelectedDuplicateFiles();
    ASSERT_TRUE(waitUntil([&] { return fixture.fake.moves.size() == 1; }));
    std::filesystem::remove(first);  // one copy went before the move failed
    fixture.fake.moves[0]->fail(std::runtime_error("The Trash is full."));
    ASSERT_TRUE(waitUntil([&] { return !fixture.state().isToolWorking(); }));

    ASSERT_EQ(fixture.state().duplicateGroups().size(), 1u);
    EXPECT_EQ(fixture.state().duplicateGroups()[0].files.size(), 2u);
    ASSERT_EQ(shown.view.rows()->builtCount(), 1u);
    EXPECT_EQ(shown.row(0)->group().files.size(), 2u);
    EXPECT_EQ(shown.row(0)->group().files[1].path, second);
    EXPECT_EQ(fixture.state().selectedToolItems(), std::set<std::string>{second.string()});  // still ticked, still there
    EXPECT_EQ(fixture.state().toolMessage(), QString("The Trash is full."));
}

TEST(DuplicateFinderView, StreamedGroupsKeepTheirRowsAndOpenState) {
    ToolsFixture fixture;
    ShownFinder shown(fixture.state());
    DuplicateCall& search = fixture.startDuplicates();
    search.foundGroup(ToolsFixture::group("a", 10, {"/d/a1", "/d/a2"}));
    search.progress({DuplicateScanPhase::comparing, "/d", 1, 4, 10, 40, 1});
    ASSERT_TRUE(waitUntil([&] { return shown.view.rows()->builtCount() == 1; }));
    DuplicateGroupRow* first = shown.row(0);
    first->setExpanded(true);
    search.foundGroup(ToolsFixture::group("b", 1000, {"/d/b1", "/d/b2"}));
    search.progress({DuplicateScanPhase::comparing, "/d", 2, 4, 20, 40, 2});
    ASSERT_TRUE(waitUntil([&] { return shown.view.rows()->builtCount() == 2; }));
    // The larger group goes first; the existing row is the same widget, still open.
    EXPECT_EQ(shown.row(0)->group().id, "b");
    EXPECT_EQ(shown.row(1), first);
    EXPECT_TRUE(first->isExpanded());
    fixture.fake.abandon.request_stop();
}

TEST(DuplicateFinderView, TheFolderButtonShowsTheFolderNameAsWritten) {
    ToolsFixture fixture;
    ShownFinder shown(fixture.state());
    fixture.state().setScanRoot("/home/u/R&D <b>2024");
    EXPECT_EQ(shown.view.folderButton()->text(), "R&D <b>2024");
    EXPECT_TRUE(shown.view.folderButton()->toolTip().contains("/home/u/R&amp;D &lt;b&gt;2024"));  // escaped, so shown verbatim
}

TEST(DuplicateFinderView, ALoadInAnotherToolReplacesTheSharedSelection) {
    ToolsFixture fixture;
    fixture.finishDuplicates(twoGroups());
    ShownFinder shown(fixture.state());
    EXPECT_EQ(shown.view.selectedSize(), 3'000'000);  // every copy but the first
    EXPECT_FALSE(shown.row(0)->selectionPillText().isEmpty());
    fixture.loadCleanup({ToolsFixture::candidate("/c/cache", 10, CleanupSafety::safe)});
    EXPECT_EQ(shown.view.selectedSize(), 0);
    EXPECT_TRUE(shown.row(0)->selectionPillText().isEmpty());
    EXPECT_FALSE(shown.view.trashButton()->isEnabled());
    EXPECT_EQ(fixture.state().duplicateGroups().size(), 2u);  // the groups themselves stay
}

// A backup tool's snapshots: every copy keeps a second name, so the banner, every group and the
// selection free nothing. The copies are offered unticked, each row saying why; ticked by hand, they
// move, and the question says they free nothing.
TEST(DuplicateFinderView, CopiesWithAnotherNameAreOfferedUntickedAndFreeNothing) {
    ToolsFixture fixture;
    fixture.finishDuplicates({withLinkedCopies(ToolsFixture::group("a", 2'000'000, {"/d/a/1", "/b/a/1"}), {0, 1}),
                              withLinkedCopies(ToolsFixture::group("b", 1'000'000, {"/d/b/1", "/d/b/2", "/d/b/3"}), {1, 2})});
    ShownFinder shown(fixture.state());
    EXPECT_EQ(shown.view.reclaimable(), 0);
    EXPECT_TRUE(bannerTexts(shown.view).contains(AppLocalization::format("tools.dup.bannerTitle", {2, ToolTexts::bytes(0)})));
    for (std::size_t index : {0u, 1u}) EXPECT_EQ(shown.row(index)->findChild<ToolsValueColumn*>("groupValue")->value(), ToolTexts::bytes(0));
    EXPECT_TRUE(fixture.state().selectedToolItems().empty());
    EXPECT_FALSE(shown.view.trashButton()->isEnabled());

    DuplicateGroupRow* b = shown.row(1);
    b->setExpanded(true);
    const QList<ToolsItemRow*> copies = b->copies()->findChildren<ToolsItemRow*>();
    ASSERT_EQ(copies.size(), 3);
    auto note = [](const ToolsItemRow* row) { return row->accessory() ? static_cast<Pill*>(row->accessory())->text() : QString(); };
    EXPECT_EQ(note(copies[0]), AppLocalization::string("duplicates.keep"));
    EXPECT_EQ(note(copies[1]), AppLocalization::string("duplicates.otherName"));
    EXPECT_EQ(note(copies[2]), AppLocalization::string("duplicates.otherName"));
    EXPECT_TRUE(note(copies[1]).contains("another name") && note(copies[1]).contains("frees nothing"));

    click(copies[1]);
    EXPECT_EQ(shown.view.selectedSize(), 0);
    ASSERT_TRUE(shown.view.trashButton()->isEnabled());
    click(shown.view.trashButton());
    ASSERT_NE(shown.view.confirmation(), nullptr);
    EXPECT_EQ(shown.view.confirmation()->informativeText(),
              AppLocalization::format("tools.trash.detail.freesNothing", {ToolTexts::bytes(1'000'000)}));
}

// Linked and unlinked copies side by side: the banner, each group and the selection count exactly
// the copies of one name; a group with a linked copy reaches into a backup and ticks nothing, and
// the question names the banner's figure.
TEST(DuplicateFinderView, OnlyCopiesWithoutAnotherNameAreReclaimableAndOnlyGroupsWithoutOneTicked) {
    ToolsFixture fixture;
    fixture.finishDuplicates({withLinkedCopies(ToolsFixture::group("linked", 4'000'000, {"/d/l/1", "/d/l/2"}), {0, 1}),
                              withLinkedCopies(ToolsFixture::group("mixed", 1'000'000, {"/d/m/1", "/d/m/2", "/d/m/3", "/d/m/4"}), {0, 2}),
                              ToolsFixture::group("plain", 500'000, {"/d/p/1", "/d/p/2"})});
    ShownFinder shown(fixture.state());
    EXPECT_EQ(shown.view.reclaimable(), 2'000'000 + 500'000);
    EXPECT_TRUE(bannerTexts(shown.view).contains(AppLocalization::format("tools.dup.bannerTitle", {3, ToolTexts::bytes(2'500'000)})));
    const std::vector<std::pair<std::string, std::int64_t>> rows = {{"mixed", 2'000'000}, {"plain", 500'000}, {"linked", 0}};
    for (std::size_t index = 0; index < rows.size(); ++index) {
        EXPECT_EQ(shown.row(index)->group().id, rows[index].first);
        EXPECT_EQ(shown.row(index)->findChild<ToolsValueColumn*>("groupValue")->value(), ToolTexts::bytes(rows[index].second)) << rows[index].first;
    }
    EXPECT_EQ(fixture.state().selectedToolItems(), (std::set<std::string>{"/d/p/2"}));
    EXPECT_EQ(shown.view.selectedSize(), 500'000);
    click(shown.view.trashButton());
    ASSERT_NE(shown.view.confirmation(), nullptr);
    EXPECT_EQ(shown.view.confirmation()->informativeText(), AppLocalization::format("tools.trash.detail", {ToolTexts::bytes(500'000), ToolTexts::bytes(500'000)}));
    shown.view.confirmation()->reject();

    fixture.state().setSelectedToolItems({"/d/m/2", "/d/m/3", "/d/l/2"});  // one unlinked, two linked
    EXPECT_EQ(shown.view.selectedSize(), 1'000'000);
    EXPECT_TRUE(bannerTexts(shown.view).contains(ToolTexts::selectionDetail(1'000'000)));
}

// Copies of a disk image that holds 1 MiB: the group, the banner, the rows and the question count
// what the copies take on disk; the grey pill keeps the length of one copy. Copies that hold no
// block free nothing: they are offered unticked, and their row says so.
TEST(DuplicateFinderView, SparseCopiesCountWhatTheyTakeOnDisk) {
    ToolsFixture fixture;
    DuplicateGroup image = ToolsFixture::group("image", 536'870'912, {"/d/disk.img", "/d/backup/disk.img"});
    for (ScannedFile& copy : image.files) copy.size = 1'048'576;
    DuplicateGroup holes = ToolsFixture::group("holes", 1'073'741'824, {"/d/empty.img", "/d/backup/empty.img"});
    for (ScannedFile& copy : holes.files) copy.size = 0;
    fixture.finishDuplicates({ToolsFixture::group("photo", 2'000'000, {"/d/a.jpg", "/d/b.jpg"}), image, holes});
    ShownFinder shown(fixture.state());
    EXPECT_EQ(shown.view.reclaimable(), 2'000'000 + 1'048'576);
    EXPECT_EQ(shown.row(0)->group().id, "photo");
    DuplicateGroupRow* row = shown.row(1);
    EXPECT_EQ(row->findChild<ToolsValueColumn*>("groupValue")->value(), ToolTexts::bytes(1'048'576));
    QStringList pills;
    for (const Pill* pill : row->findChildren<Pill*>()) pills << pill->text();
    EXPECT_TRUE(pills.contains(ToolTexts::bytes(536'870'912)));
    row->setExpanded(true);
    EXPECT_EQ(row->copies()->findChildren<ToolsItemRow*>()[1]->value(), ToolTexts::bytes(1'048'576));
    EXPECT_EQ(fixture.state().selectedToolItems(), (std::set<std::string>{"/d/b.jpg", "/d/backup/disk.img"}));
    shown.row(2)->setExpanded(true);
    const ToolsItemRow* empty = shown.row(2)->copies()->findChildren<ToolsItemRow*>()[1];
    ASSERT_NE(empty->accessory(), nullptr);
    EXPECT_EQ(static_cast<Pill*>(empty->accessory())->text(), AppLocalization::string("duplicates.noBlocks"));
    EXPECT_EQ(shown.view.selectedSize(), 2'000'000 + 1'048'576);
    click(shown.view.trashButton());
    ASSERT_NE(shown.view.confirmation(), nullptr);
    EXPECT_EQ(shown.view.confirmation()->informativeText(),
              AppLocalization::format("tools.trash.detail", {ToolTexts::bytes(3'048'576), ToolTexts::bytes(3'048'576)}));
}

// A home with backups made with hard links, searched for real: nothing live and nothing of a backup
// is ticked, only the `cp -a` copies of Pictures. A group that reaches into a backup says why, its
// copies in the backup say so, its figure is still what moving the copies beyond the kept one frees,
// and the user may still tick a copy by hand.
TEST(DuplicateFinderView, NothingLiveAndNothingOfABackupIsTicked) {
    TempTree tree;
    BackupHome home(tree);
    if (!FileIdentity::at(home.pictures[0])->born) GTEST_SKIP() << "this file system keeps no birth time";
    FileIntelligenceService service;
    ToolsFixture fixture;
    fixture.finishDuplicates(service.duplicateGroups(tree.path(), false, nullptr, nullptr).groups);
    std::set<std::string> copies;
    for (const Path& copy : home.picturesCopies) copies.insert(copy.string());
    EXPECT_EQ(fixture.state().selectedToolItems(), copies);

    ShownFinder shown(fixture.state());
    auto pills = [](const QWidget* widget) {
        QStringList texts;
        for (const Pill* pill : widget->findChildren<Pill*>()) texts << pill->text();
        return texts;
    };
    const std::size_t count = fixture.state().duplicateGroups().size();
    ASSERT_EQ(count, 12u);
    std::size_t inBackup = 0;
    for (std::size_t index = 0; index < count; ++index) {
        DuplicateGroupRow* row = shown.row(index);
        const bool reaches = std::any_of(row->group().files.begin(), row->group().files.end(),
                                         [&](const ScannedFile& file) { return std::count(home.backups.begin(), home.backups.end(), file.path) > 0; });
        EXPECT_EQ(pills(row->header()).contains(AppLocalization::string("duplicates.group.backup")), reaches) << index;
        if (!reaches) continue;
        row->setExpanded(true);
        const QList<ToolsItemRow*> rows = row->copies()->findChildren<ToolsItemRow*>();
        for (qsizetype i = 1; i < rows.size(); ++i) {
            const ScannedFile& file = row->group().files[std::size_t(i)];
            // A backup's copy of one name is told by its folder, or one above it, holding linked files.
            if (file.identity->links == 1 && std::count(home.backups.begin(), home.backups.end(), file.path) > 0) {
                ++inBackup;
                EXPECT_EQ(pills(rows[i]), QStringList{AppLocalization::string("duplicates.inBackup")}) << file.path;
            }
        }
    }
    EXPECT_EQ(inBackup, 4u);  // the changed song's, note's and document's copies, and the first generation's old document

    // Ticked by hand: the live song moves, and the figure is what it takes on disk.
    const std::size_t song = std::size_t(std::find_if(fixture.state().duplicateGroups().begin(), fixture.state().duplicateGroups().end(),
                                                      [&](const DuplicateGroup& group) { return group.files.back().path == home.live[1]; }) -
                                         fixture.state().duplicateGroups().begin());
    ASSERT_LT(song, count);
    DuplicateGroupRow* songRow = shown.row(song);
    songRow->setExpanded(true);
    click(songRow->copies()->findChildren<ToolsItemRow*>().back());
    EXPECT_TRUE(fixture.state().selectedToolItems().contains(home.live[1].string()));
    EXPECT_EQ(songRow->selectedCount(), 1);
}

// Copies that share their blocks with the original (reflinked): one that shares all of them frees
// nothing, and its row says so; as a copy with a reason to stay unticked, its group ticks nothing.
// Ticked by hand, one rewritten in part counts for that part; the banner, the group and the
// selection count only what is not shared.
TEST(DuplicateFinderView, CopiesCountOnlyTheBlocksTheyDoNotShare) {
    ToolsFixture fixture;
    DuplicateGroup photos = ToolsFixture::group("photos", 5'000'000, {"/x/p.jpg", "/x/copy/p.jpg", "/x/edited/p.jpg"});
    photos.files[1].sharedBytes = 5'000'000;
    photos.files[1].untickedReason = UntickedReason::sharedBlocks;
    photos.files[2].sharedBytes = 3'000'000;
    fixture.finishDuplicates({photos});
    ShownFinder shown(fixture.state());
    EXPECT_EQ(shown.view.reclaimable(), 2'000'000);
    EXPECT_EQ(fixture.state().selectedToolItems(), std::set<std::string>{});
    DuplicateGroupRow* row = shown.row(0);
    EXPECT_EQ(row->findChild<ToolsValueColumn*>("groupValue")->value(), ToolTexts::bytes(2'000'000));
    row->setExpanded(true);
    const QList<ToolsItemRow*> copies = row->copies()->findChildren<ToolsItemRow*>();
    ASSERT_EQ(copies.size(), 3);
    ASSERT_NE(copies[1]->accessory(), nullptr);
    EXPECT_EQ(static_cast<Pill*>(copies[1]->accessory())->text(), AppLocalization::string("duplicates.sharedBlocks"));
    EXPECT_EQ(copies[2]->accessory(), nullptr);
    click(copies[2]);
    EXPECT_EQ(fixture.state().selectedToolItems(), (std::set<std::string>{"/x/edited/p.jpg"}));
    EXPECT_EQ(shown.view.selectedSize(), 2'000'000);
}

// On a compressed file system a reflinked copy frees nothing: its group says so plainly, never "up
// to" nothing, and the banner's figure is no longer "up to" for it. Ticked beside a copy that
// frees, the question says what moves, what emptying the Trash frees and how many free nothing.
TEST(DuplicateFinderView, NothingFreedIsNeverUpTo) {
    ToolsFixture fixture;
    DuplicateGroup shared = ToolsFixture::group("shared", 5'000'000, {"/x/p.jpg", "/x/copy/p.jpg"});
    for (ScannedFile& copy : shared.files) copy.compressed = true;
    shared.files[1].sharedBytes = 5'000'000;
    shared.files[1].untickedReason = UntickedReason::sharedBlocks;
    fixture.finishDuplicates({ToolsFixture::group("plain", 1'000'000, {"/y/a.txt", "/y/b.txt"}), shared});
    ShownFinder shown(fixture.state());
    EXPECT_EQ(shown.row(1)->group().id, "shared");
    EXPECT_EQ(shown.row(1)->findChild<ToolsValueColumn*>("groupValue")->value(), ToolTexts::bytes(0));
    EXPECT_TRUE(bannerTexts(shown.view).contains(AppLocalization::format("tools.dup.bannerTitle", {2, ToolTexts::bytes(1'000'000)})));
    EXPECT_EQ(ToolTexts::freedBytes(0, true), ToolTexts::bytes(0));

    fixture.state().setSelectedToolItems({"/y/b.txt", "/x/copy/p.jpg"});
    click(shown.view.trashButton());
    ASSERT_NE(shown.view.confirmation(), nullptr);
    EXPECT_EQ(shown.view.confirmation()->informativeText(),
              AppLocalization::format("duplicates.trash.detail.freesNothing", {ToolTexts::bytes(6'000'000), ToolTexts::bytes(1'000'000), 1}));
    shown.view.confirmation()->reject();
}

// A group that reaches into a whole ticks nothing; its header says which whole, and so does the
// copy's row, in English and in Arabic; the figure still says what moving the extra copies frees.
TEST(DuplicateFinderView, AGroupInAWholeSaysWhichAndTicksNothing) {
    for (const char* language : {"en", "ar"}) {
        ToolsFixture fixture;
        SettingsStore::shared().setValue("appLanguage", QString::fromLatin1(language));
        DuplicateGroup lodash = ToolsFixture::group("lodash", 540'000, {"/h/Downloads/lodash.js", "/h/app/node_modules/lodash/lodash.js"});
        lodash.files[1].untickedReason = UntickedReason::environment;
        DuplicateGroup loose = ToolsFixture::group("loose", 100'000, {"/h/Downloads/a.pdf", "/h/Documents/a.pdf"});
        fixture.finishDuplicates({lodash, loose});
        EXPECT_EQ(fixture.state().selectedToolItems(), (std::set<std::string>{"/h/Documents/a.pdf"})) << language;
        ShownFinder shown(fixture.state());
        DuplicateGroupRow* row = shown.row(0);
        ASSERT_EQ(row->group().id, "lodash");
        QStringList header;
        for (const Pill* pill : row->header()->findChildren<Pill*>()) header << pill->text();
        EXPECT_TRUE(header.contains(AppLocalization::string("duplicates.group.environment"))) << header.join(" | ").toStdString();
        EXPECT_FALSE(AppLocalization::string("duplicates.group.environment").startsWith("duplicates.")) << language;
        row->setExpanded(true);
        const QList<ToolsItemRow*> copies = row->copies()->findChildren<ToolsItemRow*>();
        ASSERT_EQ(copies.size(), 2);
        ASSERT_NE(copies[1]->accessory(), nullptr);
        EXPECT_EQ(static_cast<Pill*>(copies[1]->accessory())->text(), AppLocalization::string("duplicates.part.environment"));
        EXPECT_EQ(row->findChild<ToolsValueColumn*>("groupValue")->value(), ToolTexts::bytes(row->group().reclaimableBytes()));
        SettingsStore::shared().remove("appLanguage");
    }
}

// A group that reaches outside the user's own files ticks nothing; its header and the copy's row say
// where the copy lies (outside the user's folders, in a program's install, in an application's data),
// in English and in Arabic.
TEST(DuplicateFinderView, AGroupOutsideTheUsersFilesSaysWhereAndTicksNothing) {
    const std::vector<std::tuple<UntickedReason, const char*, const char*>> reasons{
        {UntickedReason::outsideYourFolders, "duplicates.group.outside", "duplicates.outside"},
        {UntickedReason::programInstall, "duplicates.group.programInstall", "duplicates.outside.programInstall"},
        {UntickedReason::applicationFolder, "duplicates.group.applicationFolder", "duplicates.outside.applicationFolder"}};
    for (const char* language : {"en", "ar"}) {
        for (const auto& [reason, groupKey, copyKey] : reasons) {
            ToolsFixture fixture;
            SettingsStore::shared().setValue("appLanguage", QString::fromLatin1(language));
            DuplicateGroup sdk = ToolsFixture::group("sdk", 540'000, {"/h/Downloads/stat_linux.go", "/h/sdk/go/src/os/stat_linux.go"});
            sdk.files[1].untickedReason = reason;
            fixture.finishDuplicates({sdk});
            EXPECT_TRUE(fixture.state().selectedToolItems().empty()) << language << " " << copyKey;
            ShownFinder shown(fixture.state());
            DuplicateGroupRow* row = shown.row(0);
            QStringList header;
            for (const Pill* pill : row->header()->findChildren<Pill*>()) header << pill->text();
            EXPECT_TRUE(header.contains(AppLocalization::string(groupKey))) << header.join(" | ").toStdString();
            EXPECT_FALSE(AppLocalization::string(copyKey).startsWith("duplicates.")) << language << " " << copyKey;
            row->setExpanded(true);
            const QList<ToolsItemRow*> copies = row->copies()->findChildren<ToolsItemRow*>();
            ASSERT_EQ(copies.size(), 2);
            ASSERT_NE(copies[1]->accessory(), nullptr);
            EXPECT_EQ(static_cast<Pill*>(copies[1]->accessory())->text(), AppLocalization::string(copyKey));
            EXPECT_EQ(row->findChild<ToolsValueColumn*>("groupValue")->value(), ToolTexts::bytes(row->group().reclaimableBytes()));
            SettingsStore::shared().remove("appLanguage");
        }
        // Where the install or application folder is known, the copy's pill names it.
        ToolsFixture fixture;
        SettingsStore::shared().setValue("appLanguage", QString::fromLatin1(language));
        DuplicateGroup sdk = ToolsFixture::group("sdk", 540'000, {"/h/Downloads/stat_linux.go", "/h/sdk/go1.21.5/src/os/stat_linux.go"});
        sdk.files[1].untickedReason = UntickedReason::programInstall;
        sdk.files[1].untickedWithin = "/h/sdk/go1.21.5";
        fixture.finishDuplicates({sdk});
        ShownFinder shown(fixture.state());
        shown.row(0)->setExpanded(true);
        const QList<ToolsItemRow*> copies = shown.row(0)->copies()->findChildren<ToolsItemRow*>();
        ASSERT_EQ(copies.size(), 2);
        const QString named = static_cast<Pill*>(copies[1]->accessory())->text();
        // One left-to-right run, so that a name such as ".mozilla" keeps its dot first in Arabic.
        EXPECT_TRUE(named.contains(QStringLiteral("\u2066go1.21.5\u2069"))) << named.toStdString();
        EXPECT_FALSE(named.contains("{0}")) << named.toStdString();
        SettingsStore::shared().remove("appLanguage");
    }
}

// A group that reaches into a project ticks nothing; its header and the copy's row say which project,
// or that it is album art or a template, in English and in Arabic, the project's name one run.
TEST(DuplicateFinderView, AGroupInAProjectSaysWhichAndTicksNothing) {
    struct Row {
        UntickedReason reason;
        Path within;
        const char* groupKey;
        const char* copyKey;
        QString name;
    };
    const std::vector<Row> rows{{UntickedReason::projectPart, "/h/Sites/blog", "duplicates.group.project", "duplicates.part.project.named", "blog"},
                                {UntickedReason::usedByProject, "/h/Videos/film.kdenlive", "duplicates.group.usedByProject", "duplicates.usedByProject.named",
                                 "film.kdenlive"},
                                {UntickedReason::albumArt, "/h/Music/Album/CD2", "duplicates.group.albumArt", "duplicates.part.albumArt", {}},
                                {UntickedReason::userTemplate, "/h/Templates", "duplicates.group.template", "duplicates.part.template", {}}};
    for (const char* language : {"en", "ar"}) {
        for (const Row& row : rows) {
            ToolsFixture fixture;
            SettingsStore::shared().setValue("appLanguage", QString::fromLatin1(language));
            DuplicateGroup group = ToolsFixture::group("p", 540'000, {"/h/Downloads/banner.jpg", "/h/Sites/blog/content/a/banner.jpg"});
            group.files[1].untickedReason = row.reason;
            group.files[1].untickedWithin = row.within;
            fixture.finishDuplicates({group});
            EXPECT_TRUE(fixture.state().selectedToolItems().empty()) << language << " " << row.copyKey;
            ShownFinder shown(fixture.state());
            QStringList header;
            for (const Pill* pill : shown.row(0)->header()->findChildren<Pill*>()) header << pill->text();
            EXPECT_TRUE(header.contains(AppLocalization::string(row.groupKey))) << header.join(" | ").toStdString();
            EXPECT_FALSE(AppLocalization::string(row.groupKey).startsWith("duplicates.")) << language << " " << row.groupKey;
            shown.row(0)->setExpanded(true);
            const QList<ToolsItemRow*> copies = shown.row(0)->copies()->findChildren<ToolsItemRow*>();
            ASSERT_EQ(copies.size(), 2);
            const QString text = static_cast<Pill*>(copies[1]->accessory())->text();
            if (row.name.isEmpty()) {
                EXPECT_EQ(text, AppLocalization::string(row.copyKey)) << language;
            } else {
                EXPECT_EQ(text, AppLocalization::format(row.copyKey, {DisplayText::path(row.within.filename())})) << language;
                EXPECT_TRUE(text.contains(QStringLiteral("\u2066") + row.name + QStringLiteral("\u2069"))) << text.toStdString();
            }
            EXPECT_FALSE(text.startsWith("duplicates.") || text.contains("{0}")) << text.toStdString();
            SettingsStore::shared().remove("appLanguage");
        }
    }
}
