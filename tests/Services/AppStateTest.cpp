#include "Models/AppLocalization.h"
#include "Models/ByteFormatting.h"
#include "Platform/FolderBookmark.h"
#include "Platform/SettingsStore.h"
#include "Platform/StandardizedPath.h"
#include "Platform/SystemRoots.h"
#include "Services/AppState.h"
#include "Services/UninstallError.h"
#include "Services/FakeAppServices.h"
#include "Support/TempTree.h"

#include <QRegularExpression>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fstream>

namespace {

using Path = std::filesystem::path;

ScanSnapshot snapshotOf(const Path& root, std::int64_t total) {
    ScanSnapshot snapshot;
    snapshot.rootPath = root;
    snapshot.totalSize = total;
    return snapshot;
}

ScannedFile fileAt(const Path& path, std::int64_t size = 10) {
    ScannedFile file;
    file.path = path;
    file.size = size;
    file.identity = FileIdentity::at(path);  // as the services list it
    return file;
}

DuplicateGroup groupOf(std::string id, std::int64_t size, std::vector<Path> paths) {
    DuplicateGroup group;
    group.id = std::move(id);
    group.fileSize = size;
    // Newest first, a day apart, as the finder lists copies: the first is the one clearly kept.
    for (const Path& path : paths) {
        group.files.push_back(fileAt(path, size));
        group.files.back().modifiedAt = Instant::fromUnixSeconds(1'700'000'000.0 - 86'400.0 * double(group.files.size()));
    }
    return group;
}

std::vector<std::string> groupIds(const std::vector<DuplicateGroup>& groups) {
    std::vector<std::string> ids;
    for (const DuplicateGroup& group : groups) ids.push_back(group.id);
    return ids;
}

class AppStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        SystemRoots::install(SystemRoots::fixture(tree.path()));
        std::filesystem::create_directories(tree.path() / "home");
        SettingsStore::shared().remove("scanRootBookmark");
        SettingsStore::shared().remove("appLanguage");
    }
    void TearDown() override {
        fake.abandon.request_stop();
        state.reset();  // stops and waits for the jobs the test left held
        SettingsStore::shared().remove("scanRootBookmark");
        SystemRoots::install(SystemRoots::machine());
    }

    AppState& makeState() {
        state = std::make_unique<AppState>(fake.services());
        return *state;
    }

    // A state whose scan folder was chosen by the user, as the duplicate finder needs.
    AppState& makeStateWithChosenFolder() {
        SettingsStore::shared().setValue("scanRootBookmark", *FolderBookmark::data(tree.path()));
        return makeState();
    }

    Path home() const { return tree.path() / "home"; }

    TempTree tree;
    FakeAppServices fake;
    std::unique_ptr<AppState> state;
};

// --- scan folder and bookmark ---

TEST_F(AppStateTest, ScanRootFallsBackToHomeWhenTheBookmarkIsMissingOrStale) {
    EXPECT_EQ(makeState().scanRoot(), home());

    const Path chosen = tree.folder("Projects/app");
    SettingsStore::shared().setValue("scanRootBookmark", *FolderBookmark::data(chosen));
    EXPECT_EQ(makeState().scanRoot(), chosen);

    std::filesystem::remove_all(chosen);
    EXPECT_EQ(makeState().scanRoot(), home());
    EXPECT_FALSE(state->scanError());

    // A file where the folder was, a relative path and stray bytes all mean home.
    SettingsStore::shared().setValue("scanRootBookmark", *FolderBookmark::data(tree.file("Projects/app")));
    EXPECT_EQ(makeState().scanRoot(), home());
    SettingsStore::shared().setValue("scanRootBookmark", QByteArray("relative/folder"));
    EXPECT_EQ(makeState().scanRoot(), home());
    SettingsStore::shared().setValue("scanRootBookmark", QByteArray("\xff\xfe", 2));
    EXPECT_EQ(makeState().scanRoot(), home());
}

TEST_F(AppStateTest, ANonUtf8FolderNameSurvivesTheBookmark) {
    const Path odd = tree.folder("caf\xe9 -n\nx");
    fake.chooseFolder = [&](const Path&) { return std::optional<Path>(odd); };
    makeState().chooseScanFolder();
    EXPECT_EQ(makeState().scanRoot(), odd);
    std::filesystem::remove(odd);  // the temporary folder's own cleanup cannot name it
}

TEST_F(AppStateTest, ChoosingAFolderStoresItWithoutScanning) {
    AppState& app = makeState();
    Path offeredAt;
    fake.chooseFolder = [&](const Path& start) {
        offeredAt = start;
        return std::optional<Path>();
    };
    app.chooseScanFolder();
    EXPECT_EQ(offeredAt, home());
    EXPECT_EQ(app.scanRoot(), home());
    EXPECT_FALSE(SettingsStore::shared().contains("scanRootBookmark"));

    const Path chosen = tree.folder("Music/");
    fake.chooseFolder = [&](const Path&) { return std::optional<Path>(tree.path() / "Music/"); };
    QSignalSpy changed(&app, &AppState::scanRootChanged);
    app.chooseScanFolder();
    EXPECT_EQ(app.scanRoot(), standardizedPath(chosen));
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(FolderBookmark::resolve(SettingsStore::shared().value("scanRootBookmark").toByteArray()), app.scanRoot());
    EXPECT_FALSE(app.isScanning());
    EXPECT_EQ(fake.scans.size(), 0u);
}

TEST_F(AppStateTest, ParentFolderMovesUpAndScansButNotAboveTheTop) {
    fake.chooseFolder = [&](const Path&) { return std::optional<Path>("/"); };
    AppState& app = makeState();
    app.chooseScanFolder();
    ASSERT_EQ(app.scanRoot(), Path("/"));
    app.scanParentFolder();
    EXPECT_EQ(app.scanRoot(), Path("/"));
    EXPECT_FALSE(app.isScanning());
    EXPECT_EQ(fake.scans.size(), 0u);

    const Path deep = tree.folder("a/b");
    fake.chooseFolder = [&](const Path&) { return std::optional<Path>(deep.string() + "/"); };
    app.chooseScanFolder();
    app.scanParentFolder();
    EXPECT_EQ(app.scanRoot(), tree.path() / "a");
    EXPECT_EQ(FolderBookmark::resolve(SettingsStore::shared().value("scanRootBookmark").toByteArray()), tree.path() / "a");
    EXPECT_TRUE(app.isScanning());
    ASSERT_TRUE(waitUntil([&] { return fake.scans.size() == 1; }));
    EXPECT_EQ(fake.scans[0]->root, tree.path() / "a");
}

// --- scanning ---

TEST_F(AppStateTest, AScanPublishesProgressThenItsSnapshotAndHistoryRecord) {
    AppState& app = makeState();
    app.setIncludeHiddenFiles(true);
    app.startScan();
    EXPECT_TRUE(app.isScanning());
    ASSERT_TRUE(app.scanProgress());
    EXPECT_EQ(app.scanProgress()->path, home().string());
    EXPECT_EQ(app.scanProgress()->bytesSeen, 0);

    ASSERT_TRUE(waitUntil([&] { return fake.scans.size() == 1; }));
    app.setIncludeHiddenFiles(false);  // the running scan keeps its copy
    EXPECT_TRUE(fake.scans[0]->includeHidden);
    fake.scans[0]->progress(ScanProgress{"/x", 3, 4096});
    ASSERT_TRUE(waitUntil([&] { return app.scanProgress()->bytesSeen == 4096; }));

    fake.scans[0]->succeed(snapshotOf(home(), 4096));
    ASSERT_TRUE(waitUntil([&] { return !app.isScanning(); }));
    ASSERT_TRUE(app.scanSnapshot());
    EXPECT_EQ(app.scanSnapshot()->totalSize, 4096);
    ASSERT_EQ(fake.recorded.size(), 1u);
    EXPECT_EQ(app.scanProgress()->bytesSeen, 4096);  // the last progress stays

    app.startScan();
    ASSERT_TRUE(waitUntil([&] { return fake.scans.size() == 2; }));
    EXPECT_FALSE(fake.scans[1]->includeHidden);
}

TEST_F(AppStateTest, AReplacedScanNeverPublishes) {
    fake.scansIgnoreStop = true;  // the replaced scan even ends with a result and an error
    AppState& app = makeState();
    app.startScan();
    ASSERT_TRUE(waitUntil([&] { return fake.scans.size() == 1; }));
    auto replaced = fake.scans[0];
    app.startScan();
    ASSERT_TRUE(waitUntil([&] { return fake.scans.size() == 2; }));
    auto current = fake.scans[1];

    replaced->progress(ScanProgress{"/old", 99, 999});
    replaced->succeed(snapshotOf("/old", 999));
    ASSERT_TRUE(waitUntil([&] { return replaced->returned(); }));
    ASSERT_TRUE(settle(app, fake));
    EXPECT_TRUE(app.isScanning());
    EXPECT_EQ(app.scanProgress()->bytesSeen, 0);
    EXPECT_FALSE(app.scanSnapshot());
    EXPECT_TRUE(fake.recorded.empty());

    current->progress(ScanProgress{"/new", 1, 10});
    current->succeed(snapshotOf(home(), 10));
    ASSERT_TRUE(waitUntil([&] { return !app.isScanning(); }));
    EXPECT_EQ(app.scanSnapshot()->totalSize, 10);
    EXPECT_EQ(app.scanProgress()->bytesSeen, 10);
    ASSERT_EQ(fake.recorded.size(), 1u);
    EXPECT_EQ(fake.recorded[0].totalSize, 10);
}

TEST_F(AppStateTest, AReplacedScanThatFailsLeavesNoError) {
    fake.scansIgnoreStop = true;
    AppState& app = makeState();
    app.startScan();
    ASSERT_TRUE(waitUntil([&] { return fake.scans.size() == 1; }));
    app.startScan();
    fake.scans[0]->fail(std::runtime_error("Could not access /gone."));
    ASSERT_TRUE(waitUntil([&] { return fake.scans[0]->returned(); }));
    ASSERT_TRUE(settle(app, fake));
    EXPECT_FALSE(app.scanError());
    EXPECT_TRUE(app.isScanning());
    ASSERT_TRUE(waitUntil([&] { return fake.scans.size() == 2; }));
    fake.scans[1]->succeed(snapshotOf(home(), 1));  // this scan ignores stops: end it before teardown
    ASSERT_TRUE(waitUntil([&] { return !app.isScanning(); }));
}

TEST_F(AppStateTest, ACancelledScanStopsItsWorkAndPublishesNothingLate) {
    AppState& app = makeState();
    app.startScan();
    ASSERT_TRUE(waitUntil([&] { return fake.scans.size() == 1; }));
    auto cancelled = fake.scans[0];
    app.cancelScan();
    EXPECT_FALSE(app.isScanning());
    ASSERT_TRUE(waitUntil([&] { return cancelled->returned(); }));  // the stop reached the service
    QSignalSpy scanning(&app, &AppState::isScanningChanged);
    cancelled->progress(ScanProgress{"/late", 5, 50});
    ASSERT_TRUE(settle(app, fake));
    EXPECT_EQ(app.scanProgress()->bytesSeen, 0);
    EXPECT_EQ(scanning.count(), 0);
    EXPECT_FALSE(app.scanError());
    EXPECT_TRUE(fake.recorded.empty());
}

TEST_F(AppStateTest, AFailedScanKeepsThePreviousSnapshotUntilTheNextStartClearsTheError) {
    AppState& app = makeState();
    app.startScan();
    ASSERT_TRUE(waitUntil([&] { return fake.scans.size() == 1; }));
    fake.scans[0]->succeed(snapshotOf(home(), 7));
    ASSERT_TRUE(waitUntil([&] { return !app.isScanning(); }));

    app.startScan();
    ASSERT_TRUE(waitUntil([&] { return fake.scans.size() == 2; }));
    fake.scans[1]->fail(std::runtime_error("Could not access /home/x."));
    ASSERT_TRUE(waitUntil([&] { return !app.isScanning(); }));
    EXPECT_EQ(app.scanError(), QString("Could not access /home/x."));
    EXPECT_EQ(app.scanSnapshot()->totalSize, 7);
    EXPECT_EQ(fake.recorded.size(), 1u);

    app.startScan();
    EXPECT_FALSE(app.scanError());
}

TEST_F(AppStateTest, FullDiskAccessOpensTheDesktopSettings) {
    makeState().openPrivacySettings();
    EXPECT_EQ(fake.privacySettingsOpened, 1);
}

// --- duplicates ---

TEST_F(AppStateTest, DuplicateSearchAsksForAFolderFirstAndGivesUpWhenNoneIsChosen) {
    AppState& app = makeState();
    int asked = 0;
    fake.chooseFolder = [&](const Path&) {
        ++asked;
        return std::optional<Path>();
    };
    app.findDuplicates();
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(app.isToolWorking());
    EXPECT_FALSE(app.duplicateProgress());
    ASSERT_TRUE(settle(app, fake));
    EXPECT_EQ(fake.duplicateSearches.size(), 0u);
}

TEST_F(AppStateTest, DuplicateGroupsStreamSortedThenTheResultPreselectsAllButTheKeptCopy) {
    AppState& app = makeStateWithChosenFolder();
    app.setToolMessage(QString("old"));
    app.setSelectedToolItems({"stale"});
    app.findDuplicates();
    EXPECT_TRUE(app.isToolWorking());
    EXPECT_FALSE(app.toolMessage());
    EXPECT_TRUE(app.selectedToolItems().empty());
    ASSERT_TRUE(app.duplicateProgress());
    EXPECT_EQ(app.duplicateProgress()->path, tree.path().string());
    ASSERT_TRUE(waitUntil([&] { return fake.duplicateSearches.size() == 1; }));
    auto search = fake.duplicateSearches[0];

    // Busy: a second search and a list load are refused.
    app.findDuplicates();
    app.loadCleanupCandidates();
    ASSERT_TRUE(settle(app, fake));
    EXPECT_EQ(fake.duplicateSearches.size(), 1u);
    EXPECT_EQ(fake.cleanupLoads.size(), 0u);

    search->foundGroup(groupOf("two15", 15, {"/a1", "/a2"}));  // wasted 15
    search->foundGroup(groupOf("three10", 10, {"/b1", "/b2", "/b3"}));  // wasted 20
    EXPECT_TRUE(app.duplicateGroups().empty());  // groups wait for the next progress report
    search->progress(DuplicateScanProgress{DuplicateScanPhase::comparing, "/b", 5, 9, 50, 90, 2});
    ASSERT_TRUE(waitUntil([&] { return app.duplicateGroups().size() == 2; }));
    EXPECT_EQ(groupIds(app.duplicateGroups()), (std::vector<std::string>{"three10", "two15"}));
    EXPECT_EQ(app.duplicateProgress()->groupsFound, 2);

    search->foundGroup(groupOf("tie20", 20, {"/c1", "/c2"}));  // wasted 20, found later: after three10
    search->progress(DuplicateScanProgress{DuplicateScanPhase::comparing, "/c", 6, 9, 60, 90, 3});
    ASSERT_TRUE(waitUntil([&] { return app.duplicateGroups().size() == 3; }));
    EXPECT_EQ(groupIds(app.duplicateGroups()), (std::vector<std::string>{"three10", "tie20", "two15"}));

    // The end publishes what was streamed plus the groups found since the last report, once each,
    // in place: the list the service returns is not a second copy that replaces them.
    search->foundGroup(groupOf("last30", 15, {"/d1", "/d2", "/d3"}));  // wasted 30
    int changes = 0;
    QObject::connect(&app, &AppState::duplicateGroupsChanged, [&] { ++changes; });
    search->succeed({groupOf("three10", 10, {"/b1", "/b2", "/b3"}), groupOf("two15", 15, {"/a1", "/a2"})});
    ASSERT_TRUE(waitUntil([&] { return !app.isToolWorking(); }));
    EXPECT_EQ(groupIds(app.duplicateGroups()), (std::vector<std::string>{"last30", "three10", "tie20", "two15"}));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(app.selectedToolItems(), (std::set<std::string>{"/a2", "/b2", "/b3", "/c2", "/d2", "/d3"}));
    EXPECT_TRUE(app.didFinishDuplicateScan());
    EXPECT_FALSE(app.duplicateProgress());
}

TEST_F(AppStateTest, CancellingADuplicateSearchKeepsItsGroupsAndIgnoresItsLateEnd) {
    AppState& app = makeStateWithChosenFolder();
    app.findDuplicates();
    ASSERT_TRUE(waitUntil([&] { return fake.duplicateSearches.size() == 1; }));
    auto search = fake.duplicateSearches[0];
    search->foundGroup(groupOf("g", 5, {"/x1", "/x2"}));
    search->progress(DuplicateScanProgress{});
    ASSERT_TRUE(waitUntil([&] { return app.duplicateGroups().size() == 1; }));

    app.cancelDuplicateScan();
    EXPECT_FALSE(app.isToolWorking());
    EXPECT_FALSE(app.duplicateProgress());
    EXPECT_FALSE(app.didFinishDuplicateScan());
    EXPECT_EQ(app.duplicateGroups().size(), 1u);

    // A load starts at once; the cancelled search's queued report and end must not touch it.
    app.loadStartupItems();
    EXPECT_TRUE(app.isToolWorking());
    search->foundGroup(groupOf("late", 50, {"/y1", "/y2"}));
    search->progress(DuplicateScanProgress{});
    ASSERT_TRUE(waitUntil([&] { return search->returned(); }));
    ASSERT_TRUE(settle(app, fake));
    EXPECT_TRUE(app.isToolWorking());
    EXPECT_FALSE(app.duplicateProgress());
    EXPECT_EQ(app.duplicateGroups().size(), 1u);

    // Cancelling when no search runs leaves the load's busy flag alone.
    app.cancelDuplicateScan();
    EXPECT_TRUE(app.isToolWorking());
    ASSERT_TRUE(waitUntil([&] { return fake.startupLoads.size() == 1; }));
    fake.startupLoads[0]->succeed({});
    ASSERT_TRUE(waitUntil([&] { return !app.isToolWorking(); }));
}

TEST_F(AppStateTest, TheKeptCopyIsNeverMovedNorCountedEvenWhenTicked) {
    AppState& app = makeStateWithChosenFolder();
    app.findDuplicates();
    ASSERT_TRUE(waitUntil([&] { return fake.duplicateSearches.size() == 1; }));
    const Path kept = tree.file("d/kept", 10), copy = tree.file("d/copy", 10);
    fake.duplicateSearches[0]->findAndSucceed({groupOf("g", 10, {kept, copy})});
    ASSERT_TRUE(waitUntil([&] { return !app.isToolWorking(); }));

    // The forgotten-files tool or a stray click put the kept copy into the shared selection.
    app.setSelectedToolItems({kept.string(), copy.string()});
    ASSERT_EQ(app.selectedDuplicateFiles().size(), 1u);
    EXPECT_EQ(app.selectedDuplicateFiles()[0].path, copy);

    app.trashSelectedDuplicateFiles();
    ASSERT_TRUE(waitUntil([&] { return fake.moves.size() == 1; }));
    EXPECT_EQ(fake.moves[0]->urls, std::vector<Path>{copy});
    std::filesystem::remove(copy);
    fake.moves[0]->succeed({{0}});
    ASSERT_TRUE(waitUntil([&] { return !app.isToolWorking(); }));
    EXPECT_TRUE(std::filesystem::exists(kept));
    EXPECT_TRUE(app.duplicateGroups().empty());  // one file left: the group is resolved
    EXPECT_TRUE(app.selectedToolItems().empty());
    EXPECT_EQ(app.toolMessage(), AppLocalization::format("tools.movedCount", {1}) + " " +
                                     AppLocalization::format("tools.movedFigures", {ByteFormatting::string(std::int64_t(10)), ByteFormatting::string(std::int64_t(10))}));
}

// Each copy goes to the service with what it was when listed and with its group's kept copy; what
// the service left because it changed stays listed and is named in the message.
TEST_F(AppStateTest, AMoveChecksWhatWasListedAndKeepsAndNamesWhatChanged) {
    AppState& app = makeStateWithChosenFolder();
    app.findDuplicates();
    ASSERT_TRUE(waitUntil([&] { return fake.duplicateSearches.size() == 1; }));
    const Path kept = tree.file("d/kept", 10), copy = tree.file("d/copy", 10), other = tree.file("e/kept", 20), otherCopy = tree.file("e/copy", 20);
    fake.duplicateSearches[0]->findAndSucceed({groupOf("g", 10, {kept, copy}), groupOf("h", 20, {other, otherCopy})});
    ASSERT_TRUE(waitUntil([&] { return !app.isToolWorking(); }));
    app.trashSelectedDuplicateFiles();
    ASSERT_TRUE(waitUntil([&] { return fake.moves.size() == 1; }));
    EXPECT_EQ(fake.moves[0]->items, (std::vector<TrashRequest>{{otherCopy, FileIdentity::at(otherCopy), TrashRequest::Kept{other, *FileIdentity::at(other)}},
                                                                {copy, FileIdentity::at(copy), TrashRequest::Kept{kept, *FileIdentity::at(kept)}}}));
    std::filesystem::remove(otherCopy);
    fake.moves[0]->succeed({{0}, {copy}});
    ASSERT_TRUE(waitUntil([&] { return !app.isToolWorking(); }));
    ASSERT_EQ(app.duplicateGroups().size(), 1u);
    EXPECT_EQ(app.duplicateGroups()[0].files[1].path, copy);
    const QString message = app.toolMessage().value_or(QString());
    EXPECT_TRUE(message.startsWith(AppLocalization::format("tools.movedCount", {1}) + " " +
                                   AppLocalization::format("tools.movedFigures", {ByteFormatting::string(std::int64_t(20)), ByteFormatting::string(std::int64_t(20))}) +
                                   "\n" + AppLocalization::format("tools.changedNotMoved", {1})))
        << message.toStdString();
    EXPECT_TRUE(message.contains(copy.c_str())) << message.toStdString();

    // Forgotten files go with their identity too; of many changed, the first five are named.
    std::vector<ScannedFile> forgotten;
    std::set<std::string> all;
    for (int i = 0; i < 7; ++i) {
        forgotten.push_back(fileAt(tree.file("old/" + std::to_string(i), 10)));
        all.insert(forgotten.back().path.string());
    }
    app.findForgottenFiles(180);
    ASSERT_TRUE(waitUntil([&] { return fake.forgottenSearches.size() == 1; }));
    fake.forgottenSearches[0]->succeed(forgotten);
    ASSERT_TRUE(waitUntil([&] { return app.forgottenFiles().size() == 7; }));
    app.setSelectedToolItems(all);
    app.trashSelectedForgottenFiles();
    ASSERT_TRUE(waitUntil([&] { return fake.moves.size() == 2; }));
    EXPECT_EQ(fake.moves[1]->items[6], TrashRequest(forgotten[6].path, FileIdentity::at(forgotten[6].path)));
    fake.moves[1]->succeed({{}, fake.moves[1]->urls});
    ASSERT_TRUE(waitUntil([&] { return !app.isToolWorking(); }));
    EXPECT_EQ(app.forgottenFiles().size(), 7u);
    const QString many = app.toolMessage().value_or(QString());
    EXPECT_TRUE(many.contains(forgotten[4].path.c_str()));
    EXPECT_FALSE(many.contains(forgotten[5].path.c_str()));
    EXPECT_TRUE(many.endsWith(AppLocalization::format("tools.andMore", {2}))) << many.toStdString();
}

// --- moves and the busy flag ---

TEST_F(AppStateTest, AMoveIsRefusedWhileADuplicateSearchRuns) {
    AppState& app = makeStateWithChosenFolder();
    app.findDuplicates();
    ASSERT_TRUE(waitUntil([&] { return fake.duplicateSearches.size() == 1; }));
    app.setSelectedToolItems({"/some/file"});
    app.trashSelectedCandidates({CleanupCandidate{"/some/file", "t", "d", "/some/file", 1, CleanupSafety::safe, "k"}});
    ASSERT_TRUE(settle(app, fake));
    EXPECT_EQ(fake.moves.size(), 0u);
    EXPECT_TRUE(app.isToolWorking());
    ASSERT_TRUE(app.duplicateProgress());
}

TEST_F(AppStateTest, AMoveWithNothingTickedDoesNothing) {
    AppState& app = makeState();
    QSignalSpy busy(&app, &AppState::isToolWorkingChanged);
    app.trashSelectedForgottenFiles();
    app.trashSelectedDuplicateFiles();
    app.trashSelectedCandidates({});
    ASSERT_TRUE(settle(app, fake));
    EXPECT_EQ(fake.moves.size(), 0u);
    EXPECT_EQ(busy.count(), 0);
    EXPECT_FALSE(app.toolMessage());
}

TEST_F(AppStateTest, AMoveThatFailsPartWayDropsOnlyWhatLeftItsPlace) {
    AppState& app = makeState();
    const Path a = tree.file("old/a", 20), b = tree.file("old/b", 20), c = tree.file("old/c", 20), d = tree.file("old/d", 20);
    app.findForgottenFiles(180);
    ASSERT_TRUE(waitUntil([&] { return fake.forgottenSearches.size() == 1; }));
    EXPECT_EQ(fake.forgottenSearches[0]->root, home());
    EXPECT_EQ(fake.forgottenSearches[0]->days, 180);
    EXPECT_EQ(fake.forgottenSearches[0]->minimumSize, 10'000'000);
    fake.forgottenSearches[0]->succeed({fileAt(a), fileAt(b), fileAt(c), fileAt(d)});
    ASSERT_TRUE(waitUntil([&] { return app.forgottenFiles().size() == 4; }));
    EXPECT_TRUE(app.selectedToolItems().empty());

    app.setSelectedToolItems({a.string(), b.string(), c.string()});
    app.trashSelectedForgottenFiles();
    ASSERT_TRUE(waitUntil([&] { return fake.moves.size() == 1; }));
    EXPECT_EQ(fake.moves[0]->urls, (std::vector<Path>{a, b, c}));
    std::filesystem::remove(a);  // the first moved, the second failed
    fake.moves[0]->fail(std::runtime_error("Permission denied"));
    ASSERT_TRUE(waitUntil([&] { return !app.isToolWorking(); }));

    ASSERT_EQ(app.forgottenFiles().size(), 3u);
    EXPECT_EQ(app.forgottenFiles()[0].path, b);
    EXPECT_EQ(app.forgottenFiles()[2].path, d);
    EXPECT_EQ(app.selectedToolItems(), (std::set<std::string>{b.string(), c.string()}));
    EXPECT_EQ(app.toolMessage(), QString("Permission denied"));
}

// Every ticked item is tried: those the Trash refused stay listed and ticked, and one message says
// how many went and names the ones that stayed with the reason, a few of them when there are many.
TEST_F(AppStateTest, ItemsTheTrashRefusedStayListedAndAreNamedWithTheirReason) {
    AppState& app = makeState();
    std::vector<ScannedFile> files;
    std::set<std::string> ticked;
    for (int i = 0; i < 9; ++i) {
        files.push_back(fileAt(tree.file("old/" + std::to_string(i), 20)));
        ticked.insert(files.back().path.string());
    }
    app.findForgottenFiles(180);
    ASSERT_TRUE(waitUntil([&] { return fake.forgottenSearches.size() == 1; }));
    fake.forgottenSearches[0]->succeed(files);
    ASSERT_TRUE(waitUntil([&] { return app.forgottenFiles().size() == 9; }));
    app.setSelectedToolItems(ticked);
    app.trashSelectedForgottenFiles();
    ASSERT_TRUE(waitUntil([&] { return fake.moves.size() == 1; }));
    // The first and the last went; the seven between were refused.
    std::filesystem::remove(files[0].path);
    std::filesystem::remove(files[8].path);
    TrashResult result{{0, 8}};
    result.failed.emplace_back(TrashError::Reason::trashFolder, files[1].path, EINVAL);
    for (int i = 2; i < 8; ++i) result.failed.emplace_back(TrashError::Reason::moveFailed, files[std::size_t(i)].path, EACCES);
    fake.moves[0]->succeed(result);
    ASSERT_TRUE(waitUntil([&] { return !app.isToolWorking(); }));

    ASSERT_EQ(app.forgottenFiles().size(), 7u);
    EXPECT_EQ(app.forgottenFiles().front().path, files[1].path);
    std::set<std::string> stayed;
    for (int i = 1; i < 8; ++i) stayed.insert(files[std::size_t(i)].path.string());
    EXPECT_EQ(app.selectedToolItems(), stayed);
    const QString message = app.toolMessage().value_or("").remove(QRegularExpression("[\u2066-\u2069]"));
    const QStringList lines = message.split('\n');
    ASSERT_EQ(lines.size(), 8) << message.toStdString();
    EXPECT_EQ(lines[0], AppLocalization::format("tools.movedCount", {2}) + " " +
                            AppLocalization::format("tools.movedFigures", {ByteFormatting::string(std::int64_t(40)), ByteFormatting::string(std::int64_t(40))}).remove(QRegularExpression("[\u2066-\u2069]")));
    EXPECT_EQ(lines[1], AppLocalization::format("tools.notMoved", {7}));
    EXPECT_EQ(lines[2], QString::fromStdString(files[1].path.string()) + " — " + AppLocalization::string("trash.reason.trashFolder"));
    EXPECT_EQ(lines[3], QString::fromStdString(files[2].path.string()) + " — " + QString::fromLocal8Bit(std::strerror(EACCES)));
    EXPECT_EQ(lines[7], AppLocalization::format("tools.andMore", {2}));
}

// The message after a move says what the items that went take in the Trash and what emptying it
// frees: an item left because it changed counts for neither, a file two items hold goes once, and
// a cache whose files keep other names frees nothing.
TEST_F(AppStateTest, TheMessageAfterAMoveSaysWhatWentAndWhatItFrees) {
    AppState& app = makeState();
    const Path changed = tree.folder("cache/changed"), uv = tree.folder("cache/uv"), tool = tree.folder("cache/tool"), pnpm = tree.folder("cache/pnpm");
    auto candidate = [](const Path& path, std::int64_t size, FreedSpace freed) {
        CleanupCandidate made{path.string(), "t", "d", path, size, CleanupSafety::safe, "k"};
        made.freed = std::move(freed);
        return made;
    };
    const FreedSpace::LinkedFile wheel{8, 1, 2, 1, 6'000'000, 6'000'000};  // one file, a name in each of uv and tool
    app.loadCleanupCandidates();
    ASSERT_TRUE(waitUntil([&] { return fake.cleanupLoads.size() == 1; }));
    fake.cleanupLoads[0]->succeed({candidate(changed, 50'000'000, {50'000'000, {}}), candidate(uv, 20'000'000, {4'400'000, {wheel}}),
                                   candidate(tool, 9'000'000, {3'000'000, {wheel}}), candidate(pnpm, 37'900'000, {0, {{8, 2, 2, 1, 37'900'000, 37'900'000}}})});
    ASSERT_TRUE(waitUntil([&] { return !app.isToolWorking(); }));

    app.trashSelectedCandidates(app.cleanupCandidates());
    ASSERT_TRUE(waitUntil([&] { return fake.moves.size() == 1; }));
    fake.moves[0]->succeed({{1, 2}, {changed}});
    ASSERT_TRUE(waitUntil([&] { return !app.isToolWorking(); }));
    EXPECT_EQ(app.toolMessage().value_or("").section('\n', 0, 0),
              AppLocalization::format("tools.movedCount", {2}) + " " +
                  AppLocalization::format("tools.movedFigures", {ByteFormatting::string(std::int64_t(23'000'000)), ByteFormatting::string(std::int64_t(13'400'000))}));

    app.setSelectedToolItems({pnpm.string()});
    app.trashSelectedCandidates(app.cleanupCandidates());
    ASSERT_TRUE(waitUntil([&] { return fake.moves.size() == 2; }));
    fake.moves[1]->succeed({{0}});
    ASSERT_TRUE(waitUntil([&] { return !app.isToolWorking(); }));
    EXPECT_EQ(app.toolMessage(), AppLocalization::format("tools.movedCount", {1}) + " " +
                                     AppLocalization::format("tools.movedFigures.freesNothing", {ByteFormatting::string(std::int64_t(37'900'000))}));
}

TEST_F(AppStateTest, MovedCleanupCandidatesLeaveTheirListAndTheSafeOnesArePreselected) {
    AppState& app = makeState();
    const Path safe = tree.folder("cache/safe"), review = tree.folder("cache/review");
    const CleanupCandidate safeOne{safe.string(), "t", "d", safe, 100, CleanupSafety::safe, "k"};
    const CleanupCandidate reviewOne{review.string(), "t", "d", review, 50, CleanupSafety::review, "k"};
    app.loadCleanupCandidates();
    ASSERT_TRUE(waitUntil([&] { return fake.cleanupLoads.size() == 1; }));
    fake.cleanupLoads[0]->succeed({safeOne, reviewOne});
    ASSERT_TRUE(waitUntil([&] { return !app.isToolWorking(); }));
    EXPECT_EQ(app.selectedToolItems(), std::set<std::string>{safe.string()});

    app.trashSelectedCandidates(app.cleanupCandidates());
    ASSERT_TRUE(waitUntil([&] { return fake.moves.size() == 1; }));
    EXPECT_EQ(fake.moves[0]->urls, std::vector<Path>{safe});
    std::filesystem::remove_all(safe);
    fake.moves[0]->succeed({{0}});
    ASSERT_TRUE(waitUntil([&] { return !app.isToolWorking(); }));
    ASSERT_EQ(app.cleanupCandidates().size(), 1u);
    EXPECT_EQ(app.cleanupCandidates()[0].id, review.string());
    EXPECT_TRUE(app.selectedToolItems().empty());
}

TEST_F(AppStateTest, MovingAFolderPrunesEveryListOfWhatWasInsideIt) {
    AppState& app = makeState();
    const Path cache = tree.folder("cache/app");
    const Path inside = tree.file("cache/app/old/big.bin", 10);
    const Path elsewhere = tree.file("keep/big.bin", 10);
    app.findForgottenFiles(30);
    ASSERT_TRUE(waitUntil([&] { return fake.forgottenSearches.size() == 1; }));
    fake.forgottenSearches[0]->succeed({fileAt(inside), fileAt(elsewhere)});
    ASSERT_TRUE(waitUntil([&] { return !app.isToolWorking(); }));

    app.loadCleanupCandidates();
    ASSERT_TRUE(waitUntil([&] { return fake.cleanupLoads.size() == 1; }));
    fake.cleanupLoads[0]->succeed({{cache.string(), "t", "d", cache, 100, CleanupSafety::safe, "k"}});
    ASSERT_TRUE(waitUntil([&] { return !app.isToolWorking(); }));
    app.trashSelectedCandidates(app.cleanupCandidates());
    ASSERT_TRUE(waitUntil([&] { return fake.moves.size() == 1; }));
    std::filesystem::remove_all(cache);
    fake.moves[0]->succeed({{0}});
    ASSERT_TRUE(waitUntil([&] { return !app.isToolWorking(); }));

    EXPECT_TRUE(app.cleanupCandidates().empty());
    ASSERT_EQ(app.forgottenFiles().size(), 1u);  // the file inside the moved folder left its list too
    EXPECT_EQ(app.forgottenFiles()[0].path, elsewhere);
}

TEST_F(AppStateTest, AFailedForgottenSearchKeepsTheOldListAndReportsTheError) {
    AppState& app = makeState();
    app.findForgottenFiles(30);
    ASSERT_TRUE(waitUntil([&] { return fake.forgottenSearches.size() == 1; }));
    fake.forgottenSearches[0]->succeed({fileAt("/f")});
    ASSERT_TRUE(waitUntil([&] { return !app.isToolWorking(); }));
    app.findForgottenFiles(30);
    ASSERT_TRUE(waitUntil([&] { return fake.forgottenSearches.size() == 2; }));
    fake.forgottenSearches[1]->fail(std::runtime_error("Could not access /home."));
    ASSERT_TRUE(waitUntil([&] { return !app.isToolWorking(); }));
    EXPECT_EQ(app.forgottenFiles().size(), 1u);
    EXPECT_EQ(app.toolMessage(), QString("Could not access /home."));
}

TEST_F(AppStateTest, StartupSwitchesWaitForTheLoadBeforeThemAndNeverSetTheBusyFlag) {
    AppState& app = makeState();
    StartupItem item{"/auto/x.desktop", "X", "/auto/x.desktop", "x", true, true, {}, true, {}};
    StartupItem off = item;
    off.isEnabled = false;
    std::vector<std::pair<std::string, bool>> switched;
    fake.setStartupItemEnabled = [&](const StartupItem& changed, bool enabled) { switched.emplace_back(changed.id, enabled); };

    // The load read before the switch is published first; the switch's own reload comes after it.
    app.loadStartupItems();
    ASSERT_TRUE(waitUntil([&] { return fake.startupLoads.size() == 1; }));
    app.setStartupItem(item, false);
    ASSERT_TRUE(settle(app, fake));
    EXPECT_TRUE(switched.empty());
    EXPECT_EQ(fake.startupLoads.size(), 1u);
    fake.startupLoads[0]->succeed({item});
    ASSERT_TRUE(waitUntil([&] { return fake.startupLoads.size() == 2; }));
    EXPECT_FALSE(app.isToolWorking());  // the load's flag; the switch never holds it
    ASSERT_EQ(app.startupItems().size(), 1u);
    EXPECT_TRUE(app.startupItems()[0].isEnabled);
    EXPECT_EQ(switched, (std::vector<std::pair<std::string, bool>>{{item.id, false}}));
    fake.startupLoads[1]->succeed({off});
    ASSERT_TRUE(waitUntil([&] { return !app.startupItems()[0].isEnabled; }));

    // A switch that fails reports it and publishes no list.
    fake.setStartupItemEnabled = [](const StartupItem&, bool) { throw std::runtime_error("needs an administrator"); };
    QSignalSpy changed(&app, &AppState::startupItemsChanged);
    app.setStartupItem(off, true);
    ASSERT_TRUE(waitUntil([&] { return app.toolMessage().has_value(); }));
    EXPECT_EQ(app.toolMessage(), QString("needs an administrator"));
    EXPECT_EQ(fake.startupLoads.size(), 2u);
    EXPECT_EQ(changed.count(), 0);
}

TEST_F(AppStateTest, QuickStartupSwitchesReachTheServiceInTheOrderTheyWereMade) {
    AppState& app = makeState();
    StartupItem on{"/auto/x.desktop", "X", "/auto/x.desktop", "x", true, true, {}, true, {}};
    StartupItem off = on;
    off.isEnabled = false;
    std::vector<bool> switched;
    fake.setStartupItemEnabled = [&](const StartupItem&, bool enabled) { switched.push_back(enabled); };

    app.setStartupItem(on, false);
    app.setStartupItem(off, true);
    app.setStartupItem(on, false);
    ASSERT_TRUE(waitUntil([&] { return fake.startupLoads.size() == 1; }));
    ASSERT_TRUE(settle(app, fake));
    EXPECT_EQ(switched, std::vector<bool>{false});  // the next waits until this one's list is read
    fake.startupLoads[0]->succeed({off});
    ASSERT_TRUE(waitUntil([&] { return fake.startupLoads.size() == 2; }));
    EXPECT_EQ(switched, (std::vector<bool>{false, true}));
    fake.startupLoads[1]->succeed({on});
    ASSERT_TRUE(waitUntil([&] { return fake.startupLoads.size() == 3; }));
    fake.startupLoads[2]->succeed({off});
    ASSERT_TRUE(waitUntil([&] { return fake.startupLoads[2]->returned(); }));
    ASSERT_TRUE(settle(app, fake));
    EXPECT_EQ(switched, (std::vector<bool>{false, true, false}));
    ASSERT_EQ(app.startupItems().size(), 1u);
    EXPECT_FALSE(app.startupItems()[0].isEnabled);  // the last switch's state
}

// --- applications and leftovers ---

InstalledApplication application(std::string id) {
    InstalledApplication app;
    app.id = id;
    app.name = QString::fromStdString(id);
    return app;
}

AppArtifact artifactAt(const Path& path) {
    AppArtifact artifact;
    artifact.path = path;
    return artifact;
}

TEST_F(AppStateTest, ApplicationsLoadOnceSelectTheFirstAndLoadItsLeftovers) {
    AppState& app = makeState();
    app.loadApplications();
    app.loadApplications();
    EXPECT_TRUE(app.isLoadingApplications());
    ASSERT_TRUE(waitUntil([&] { return fake.applicationLoads.size() == 1; }));
    ASSERT_TRUE(settle(app, fake));
    EXPECT_EQ(fake.applicationLoads.size(), 1u);
    fake.applicationLoads[0]->succeed({application("a"), application("b")});
    ASSERT_TRUE(waitUntil([&] { return !app.isLoadingApplications(); }));
    EXPECT_EQ(app.selectedApplication()->id, "a");
    ASSERT_TRUE(waitUntil([&] { return fake.artifactLoads.size() == 1; }));
    EXPECT_EQ(fake.artifactLoads[0]->application.id, "a");

    // An empty list leaves no selection and loads no leftovers.
    fake.abandon.request_stop();
    state.reset();
    FakeAppServices emptyFake;
    state = std::make_unique<AppState>(emptyFake.services());
    state->loadApplications();
    ASSERT_TRUE(waitUntil([&] { return emptyFake.applicationLoads.size() == 1; }));
    emptyFake.applicationLoads[0]->succeed({});
    ASSERT_TRUE(waitUntil([&] { return !state->isLoadingApplications(); }));
    ASSERT_TRUE(settle(*state, emptyFake));
    EXPECT_FALSE(state->selectedApplication());
    EXPECT_EQ(emptyFake.artifactLoads.size(), 0u);
    state.reset();  // before emptyFake goes
}

TEST_F(AppStateTest, OnlyTheNewestLeftoverLoadPublishes) {
    AppState& app = makeState();
    app.selectApplication(application("a"));
    ASSERT_TRUE(waitUntil([&] { return fake.artifactLoads.size() == 1; }));
    app.selectApplication(application("a"));
    ASSERT_TRUE(waitUntil([&] { return fake.artifactLoads.size() == 2; }));
    auto older = fake.artifactLoads[0], newer = fake.artifactLoads[1];
    const AppArtifact keep = artifactAt("/a/keep"), exclude = artifactAt("/a/exclude");
    newer->succeed({keep, exclude});
    ASSERT_TRUE(waitUntil([&] { return app.artifacts().size() == 2; }));
    app.setArtifactSelection(exclude, false);
    older->succeed({keep, exclude});  // all ticked again, arriving late
    ASSERT_TRUE(waitUntil([&] { return older->returned(); }));
    ASSERT_TRUE(settle(app, fake));
    EXPECT_FALSE(app.artifacts()[1].isSelected);

    app.moveSelectedArtifactsToTrash(app.artifacts());
    ASSERT_TRUE(waitUntil([&] { return fake.artifactRemovals.size() == 1; }));
    EXPECT_FALSE(fake.artifactRemovals[0]->artifacts[1].isSelected);

    // A then B: A's leftovers are dropped.
    app.selectApplication(application("b"));
    EXPECT_TRUE(app.artifacts().empty());
    ASSERT_TRUE(waitUntil([&] { return fake.artifactLoads.size() == 3; }));
    app.selectApplication(application("c"));
    ASSERT_TRUE(waitUntil([&] { return fake.artifactLoads.size() == 4; }));
    fake.artifactLoads[2]->succeed({artifactAt("/b")});
    ASSERT_TRUE(waitUntil([&] { return fake.artifactLoads[2]->returned(); }));
    ASSERT_TRUE(settle(app, fake));
    EXPECT_TRUE(app.artifacts().empty());
    fake.artifactLoads[3]->succeed({artifactAt("/c")});
    ASSERT_TRUE(waitUntil([&] { return app.artifacts().size() == 1; }));
    EXPECT_EQ(app.artifacts()[0].path, Path("/c"));
}

TEST_F(AppStateTest, ASecondRemovalIsRefusedAndASuccessReportsAndReloads) {
    AppState& app = makeState();
    app.selectApplication(application("a"));
    ASSERT_TRUE(waitUntil([&] { return fake.artifactLoads.size() == 1; }));
    fake.artifactLoads[0]->succeed({artifactAt("/a/1"), artifactAt("/a/2")});
    ASSERT_TRUE(waitUntil([&] { return app.artifacts().size() == 2; }));

    app.moveSelectedArtifactsToTrash(app.artifacts());
    app.moveSelectedArtifactsToTrash(app.artifacts());
    EXPECT_TRUE(app.isRemoving());
    ASSERT_TRUE(waitUntil([&] { return fake.artifactRemovals.size() == 1; }));
    ASSERT_TRUE(settle(app, fake));
    EXPECT_EQ(fake.artifactRemovals.size(), 1u);

    fake.artifactRemovals[0]->succeed({"/trash/1", "/trash/2"});
    ASSERT_TRUE(waitUntil([&] { return !app.isRemoving(); }));
    EXPECT_EQ(app.uninstallMessage(), AppLocalization::format("uninstaller.movedCount", {2}));
    ASSERT_TRUE(waitUntil([&] { return fake.applicationLoads.size() == 1; }));
    fake.applicationLoads[0]->succeed({application("b")});
    ASSERT_TRUE(waitUntil([&] { return fake.artifactLoads.size() == 2; }));
    EXPECT_EQ(fake.artifactLoads[1]->application.id, "a");  // the selection stays

    app.moveSelectedArtifactsToTrash(app.artifacts());
    ASSERT_TRUE(waitUntil([&] { return fake.artifactRemovals.size() == 2; }));
    fake.artifactRemovals[1]->fail(std::runtime_error("Operation not permitted"));
    ASSERT_TRUE(waitUntil([&] { return !app.isRemoving(); }));
    EXPECT_EQ(app.uninstallMessage(), QString("Operation not permitted"));
    ASSERT_TRUE(settle(app, fake));
    EXPECT_EQ(fake.applicationLoads.size(), 1u);  // nothing moved, nothing to reload

    // Part-way: what went is counted in the message, and the lists are reloaded.
    app.moveSelectedArtifactsToTrash(app.artifacts());
    ASSERT_TRUE(waitUntil([&] { return fake.artifactRemovals.size() == 3; }));
    const UninstallError partial({TrashError(TrashError::Reason::moveFailed, "/apps/b", EACCES)}, {"/trash/1"});
    fake.artifactRemovals[2]->fail(partial);
    ASSERT_TRUE(waitUntil([&] { return !app.isRemoving(); }));
    const QString message = app.uninstallMessage().value_or("").remove(QRegularExpression("[\u2066-\u2069]"));
    EXPECT_EQ(message.toStdString(), "Moved 1 item to the Trash.\nCould not move “b” to the Trash: Permission denied.");
    ASSERT_TRUE(waitUntil([&] { return fake.applicationLoads.size() == 2; }));
}

// A package's file is never ticked: not by a click, nor by a reload that carries an earlier tick
// over to an item a package has taken since.
TEST_F(AppStateTest, APackagesFileCannotBeTicked) {
    AppState& app = makeState();
    app.selectApplication(application("a"));
    ASSERT_TRUE(waitUntil([&] { return fake.artifactLoads.size() == 1; }));
    AppArtifact entry = artifactAt("/usr/share/applications/a.desktop");
    entry.package = "a";
    entry.isSelected = false;
    fake.artifactLoads[0]->succeed({entry, artifactAt("/a/data")});
    ASSERT_TRUE(waitUntil([&] { return app.artifacts().size() == 2; }));
    app.setArtifactSelection(app.artifacts()[0], true);
    EXPECT_FALSE(app.artifacts()[0].isSelected);

    app.loadApplications();
    ASSERT_TRUE(waitUntil([&] { return fake.applicationLoads.size() == 1; }));
    fake.applicationLoads[0]->succeed({application("a")});
    ASSERT_TRUE(waitUntil([&] { return fake.artifactLoads.size() == 2; }));
    AppArtifact taken = artifactAt("/a/data");
    taken.package = "a-data";
    taken.isSelected = false;
    fake.artifactLoads[1]->succeed({entry, taken});
    ASSERT_TRUE(waitUntil([&] { return app.artifacts()[1].isLocked(); }));
    EXPECT_FALSE(app.artifacts()[1].isSelected);
}

TEST_F(AppStateTest, AReloadKeepsTheTicksAndTheConfirmedLeftoversAreMoved) {
    AppState& app = makeState();
    app.selectApplication(application("a"));
    ASSERT_TRUE(waitUntil([&] { return fake.artifactLoads.size() == 1; }));
    fake.artifactLoads[0]->succeed({artifactAt("/a/keep"), artifactAt("/a/untick")});
    ASSERT_TRUE(waitUntil([&] { return app.artifacts().size() == 2; }));
    app.setArtifactSelection(app.artifacts()[1], false);
    const std::vector<AppArtifact> confirmed = app.artifacts();  // the confirmation opens

    // A reload lands meanwhile: new identities, everything ticked again, and an item never seen.
    app.loadApplications();
    ASSERT_TRUE(waitUntil([&] { return fake.applicationLoads.size() == 1; }));
    fake.applicationLoads[0]->succeed({application("a")});
    ASSERT_TRUE(waitUntil([&] { return fake.artifactLoads.size() == 2; }));
    fake.artifactLoads[1]->succeed({artifactAt("/a/untick"), artifactAt("/a/keep"), artifactAt("/a/new")});
    ASSERT_TRUE(waitUntil([&] { return app.artifacts().size() == 3; }));
    EXPECT_FALSE(app.artifacts()[0].isSelected);  // unticked by the user, still unticked
    EXPECT_TRUE(app.artifacts()[1].isSelected);
    EXPECT_TRUE(app.artifacts()[2].isSelected);  // new: the service's choice

    app.moveSelectedArtifactsToTrash(confirmed);
    ASSERT_TRUE(waitUntil([&] { return fake.artifactRemovals.size() == 1; }));
    std::vector<Path> ticked;
    for (const AppArtifact& artifact : fake.artifactRemovals[0]->artifacts)
        if (artifact.isSelected) ticked.push_back(artifact.path);
    EXPECT_EQ(ticked, (std::vector<Path>{"/a/keep"}));
}

// After a refresh the items are the service's fresh choice, but for what the user ticked or unticked
// by hand: a program completed on disk after the first listing ticks its launcher and leftovers now.
TEST_F(AppStateTest, ARefreshTakesTheFreshChoiceButTheUsersOwn) {
    AppState& app = makeState();
    app.selectApplication(application("krita"));
    ASSERT_TRUE(waitUntil([&] { return fake.artifactLoads.size() == 1; }));
    auto ticked = [](const char* path, bool selected) {
        AppArtifact artifact = artifactAt(path);
        artifact.isSelected = selected;
        return artifact;
    };
    fake.artifactLoads[0]->succeed({ticked("/k/krita.desktop", false), ticked("/k/krita.AppImage", true), ticked("/k/kritarc", false),
                                    ticked("/k/krita-cache", false), ticked("/k/notes", true)});
    ASSERT_TRUE(waitUntil([&] { return app.artifacts().size() == 5; }));
    app.setArtifactSelection(app.artifacts()[4], false);

    app.loadApplications();
    ASSERT_TRUE(waitUntil([&] { return fake.applicationLoads.size() == 1; }));
    fake.applicationLoads[0]->succeed({application("krita")});
    ASSERT_TRUE(waitUntil([&] { return fake.artifactLoads.size() == 2; }));
    fake.artifactLoads[1]->succeed({ticked("/k/krita.desktop", true), ticked("/k/krita.AppImage", true), ticked("/k/kritarc", true),
                                    ticked("/k/krita-cache", false), ticked("/k/notes", true)});
    ASSERT_TRUE(waitUntil([&] { return app.artifacts().size() == 5 && app.artifacts()[0].isSelected; }));
    std::vector<bool> ticks;
    for (const AppArtifact& artifact : app.artifacts()) ticks.push_back(artifact.isSelected);
    EXPECT_EQ(ticks, (std::vector<bool>{true, true, true, false, false}));

    app.moveSelectedArtifactsToTrash(app.artifacts());
    ASSERT_TRUE(waitUntil([&] { return fake.artifactRemovals.size() == 1; }));
    std::vector<Path> moved;
    for (const AppArtifact& artifact : fake.artifactRemovals[0]->artifacts)
        if (artifact.isSelected) moved.push_back(artifact.path);
    EXPECT_EQ(moved, (std::vector<Path>{"/k/krita.desktop", "/k/krita.AppImage", "/k/kritarc"}));
}

// An item that changed since the listing is not what the user confirmed: it stays listed as it is
// now, unticked, and the message names it.
TEST_F(AppStateTest, ARemovalLeavesWhatChangedListedAndUnticked) {
    AppState& app = makeState();
    app.selectApplication(application("a"));
    ASSERT_TRUE(waitUntil([&] { return fake.artifactLoads.size() == 1; }));
    fake.artifactLoads[0]->succeed({artifactAt("/a/changed"), artifactAt("/a/other")});
    ASSERT_TRUE(waitUntil([&] { return app.artifacts().size() == 2; }));
    app.setArtifactSelection(app.artifacts()[1], false);

    app.moveSelectedArtifactsToTrash(app.artifacts());
    ASSERT_TRUE(waitUntil([&] { return fake.artifactRemovals.size() == 1; }));
    fake.artifactRemovals[0]->fail(UninstallError({TrashError(TrashError::Reason::changed, "/a/changed")}, {}));
    ASSERT_TRUE(waitUntil([&] { return !app.isRemoving(); }));
    EXPECT_EQ(app.uninstallMessage(), AppLocalization::format("trash.changed", {"changed"}));
    EXPECT_FALSE(app.artifacts()[0].isSelected);

    // Reloaded to show what is there now; neither the reload nor the next removal ticks it again.
    ASSERT_TRUE(waitUntil([&] { return fake.applicationLoads.size() == 1; }));
    fake.applicationLoads[0]->succeed({application("a")});
    ASSERT_TRUE(waitUntil([&] { return fake.artifactLoads.size() == 2; }));
    fake.artifactLoads[1]->succeed({artifactAt("/a/changed"), artifactAt("/a/other")});
    ASSERT_TRUE(waitUntil([&] { return fake.artifactLoads[1]->returned(); }));
    ASSERT_TRUE(settle(app, fake));
    ASSERT_EQ(app.artifacts().size(), 2u);
    EXPECT_FALSE(app.artifacts()[0].isSelected);
    EXPECT_FALSE(app.artifacts()[1].isSelected);
}

TEST_F(AppStateTest, ALeftoverSearchThatFindsNothingEnds) {
    AppState& app = makeState();
    EXPECT_FALSE(app.isLoadingArtifacts());
    app.selectApplication(application("a"));
    EXPECT_TRUE(app.isLoadingArtifacts());
    ASSERT_TRUE(waitUntil([&] { return fake.artifactLoads.size() == 1; }));
    app.selectApplication(application("b"));
    ASSERT_TRUE(waitUntil([&] { return fake.artifactLoads.size() == 2; }));
    fake.artifactLoads[0]->succeed({artifactAt("/a")});  // superseded: b is still being searched
    ASSERT_TRUE(waitUntil([&] { return fake.artifactLoads[0]->returned(); }));
    ASSERT_TRUE(settle(app, fake));
    EXPECT_TRUE(app.isLoadingArtifacts());
    fake.artifactLoads[1]->succeed({});
    ASSERT_TRUE(waitUntil([&] { return !app.isLoadingArtifacts(); }));
    EXPECT_TRUE(app.artifacts().empty());
}

TEST_F(AppStateTest, AListReadBeforeARemovalNeverPublishes) {
    AppState& app = makeState();
    app.selectApplication(application("gone"));
    ASSERT_TRUE(waitUntil([&] { return fake.artifactLoads.size() == 1; }));
    fake.artifactLoads[0]->succeed({artifactAt("/apps/gone.desktop")});
    ASSERT_TRUE(waitUntil([&] { return app.artifacts().size() == 1; }));

    app.loadApplications();  // reads the list while the application is still there
    ASSERT_TRUE(waitUntil([&] { return fake.applicationLoads.size() == 1; }));
    app.moveSelectedArtifactsToTrash(app.artifacts());
    ASSERT_TRUE(waitUntil([&] { return fake.artifactRemovals.size() == 1; }));
    fake.artifactRemovals[0]->succeed({"/trash/gone.desktop"});
    // The removal starts a load of its own although one runs.
    ASSERT_TRUE(waitUntil([&] { return fake.applicationLoads.size() == 2; }));
    EXPECT_TRUE(app.isLoadingApplications());

    fake.applicationLoads[0]->succeed({application("gone"), application("other")});
    ASSERT_TRUE(waitUntil([&] { return fake.applicationLoads[0]->returned(); }));
    ASSERT_TRUE(settle(app, fake));
    EXPECT_TRUE(app.applications().empty());
    EXPECT_TRUE(app.isLoadingApplications());
    EXPECT_EQ(fake.artifactLoads.size(), 1u);

    fake.applicationLoads[1]->succeed({application("other")});
    ASSERT_TRUE(waitUntil([&] { return !app.isLoadingApplications(); }));
    ASSERT_EQ(app.applications().size(), 1u);
    EXPECT_EQ(app.applications()[0].id, "other");
}

}  // namespace
