#include "Platform/SystemRoots.h"
#include "Platform/TrashFolders.h"
#include "Services/DiskScanner.h"
#include "Services/FileIntelligenceService.h"
#include "Support/FixtureRoots.h"
#include "Support/ForkedChild.h"
#include "Support/TempTree.h"

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <set>
#include <vector>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

// What lies in a trash is already thrown away: the file tools never search it, never offer it and
// never keep a copy there, wherever the trash is and however it is reached.
namespace {

const Instant trashNow = Instant::fromUnixSeconds(2'000'000'000);

class TrashLeftOutTest : public ::testing::Test {
protected:
    // Every copy of every group found under `folder`, hidden files included.
    std::set<fs::path> duplicateCopies(const fs::path& folder) {
        std::set<fs::path> copies;
        for (const DuplicateGroup& group : service.duplicateGroups(folder, true, nullptr, [](const DuplicateGroup&) {}).groups)
            for (const ScannedFile& file : group.files) copies.insert(file.path);
        return copies;
    }
    std::set<fs::path> forgotten(const fs::path& folder) {
        std::set<fs::path> files;
        for (const ScannedFile& file : service.forgottenFiles(folder, 1, 1)) files.insert(file.path);
        return files;
    }

    TempTree tree;
    FixtureRoots roots{tree.path()};
    FileIntelligenceService service{[] { return trashNow; }};
};

}  // namespace

TEST_F(TrashLeftOutTest, TheDuplicateFinderNeverSearchesATrash) {
    const std::string content(4096, 'd');
    const fs::path home = tree.path() / "home";
    const fs::path a = tree.write("home/Pictures/a.jpg", content), b = tree.write("home/Backup/a.jpg", content);
    // The newest copy, the one a group keeps, is the one in the trash.
    const fs::path trashed = tree.write("home/.local/share/Trash/files/a.jpg", content);
    TempTree::setModified(a, 1'000'000'000);
    TempTree::setModified(b, 1'100'000'000);
    TempTree::setModified(trashed, 1'900'000'000);
    tree.write("home/.Trash-1000/files/a.jpg", content);  // a mount's top folder: anyone's trash
    tree.write("home/.Trash/1000/files/a.jpg", content);
    EXPECT_EQ(duplicateCopies(home), (std::set<fs::path>{a, b}));

    // With one copy left outside, no group at all: the trashed copy keeps nothing.
    fs::remove(b);
    EXPECT_TRUE(duplicateCopies(home).empty());

    // Chosen as the folder to search, by its path or through a link, the trash finds nothing.
    tree.write("home/.local/share/Trash/files/b.jpg", content);
    fs::create_symlink(home / ".local/share/Trash", home / "ThrownAway");
    EXPECT_TRUE(duplicateCopies(home / ".local/share/Trash/files").empty());
    EXPECT_TRUE(duplicateCopies(home / "ThrownAway").empty());
    EXPECT_TRUE(duplicateCopies(home / ".Trash-1000").empty());

    // The storage scan still counts it: it takes room on the disk.
    DiskScanner scanner;
    EXPECT_EQ(scanner.scan(home / ".local/share", true, nullptr).fileCount, 2);
}

TEST_F(TrashLeftOutTest, ATrashElsewhereIsLeftOutOfForgottenFilesAndCleanup) {
    // $XDG_DATA_HOME outside the hidden folders puts the trash in plain sight; $XDG_CACHE_HOME
    // around it makes the trash a cache entry and its parent a cache folder.
    SystemRoots moved = SystemRoots::fixture(tree.path());
    moved.dataHome = moved.home / "stash/data";
    moved.cacheHome = moved.home / "stash";
    SystemRoots::install(moved);
    const fs::path kept = tree.file("home/docs/old.bin", 5000);
    const fs::path trashed = tree.file("home/stash/data/Trash/files/old.bin", 5000);
    const fs::path cache = tree.file("home/stash/other/cache.bin", 5000);
    TempTree::setModified(kept, 1'000'000'000);
    TempTree::setModified(trashed, 1'000'000'000);
    EXPECT_EQ(forgotten(tree.path() / "home"), (std::set<fs::path>{kept, cache}));
    EXPECT_TRUE(forgotten(tree.path() / "home/stash/data/Trash").empty());

    std::set<fs::path> proposed;
    for (const CleanupCandidate& candidate : service.cleanupCandidates()) proposed.insert(candidate.path);
    EXPECT_EQ(proposed, std::set<fs::path>{tree.path() / "home/stash/other"});  // "data" holds the trash

    moved.cacheHome = moved.home / "stash/data";
    SystemRoots::install(moved);
    EXPECT_TRUE(service.cleanupCandidates().empty());  // the trash itself
}

// A trash reached through a bind mount has another path but is the same folder.
TEST_F(TrashLeftOutTest, ATrashMountedElsewhereIsStillATrash) {
    if (!ForkedChild::isRoot()) GTEST_SKIP() << "needs root to mount";
    const fs::path home = tree.path() / "home";
    const std::string content(4096, 'm');
    const fs::path outside = tree.write("home/Music/song.ogg", content);
    tree.write("home/.local/share/Trash/files/song.ogg", content);
    tree.write("home/.local/share/Trash/files/copy.ogg", content);
    const std::string failures = ForkedChild::runInMountNamespace([&] {
        // The trash itself, and its files folder, shown again under other names.
        const fs::path view = tree.folder("home/Music/view"), files = tree.folder("home/Music/files view");
        if (::mount((home / ".local/share/Trash").c_str(), view.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
            ::mount((home / ".local/share/Trash/files").c_str(), files.c_str(), nullptr, MS_BIND, nullptr) != 0)
            return std::string(ForkedChild::mountFailed);
        SystemRoots withMounts = SystemRoots::fixture(tree.path());
        withMounts.proc = "/proc";
        SystemRoots::install(withMounts);
        std::string found;
        ForkedChild::check(found, TrashFolders::current().isWithinTrash(view / "files/song.ogg"), "the mounted trash was not known");
        ForkedChild::check(found, TrashFolders::current().isWithinTrash(files / "song.ogg"), "the mounted files folder was not known");
        ForkedChild::check(found, duplicateCopies(home / "Music").empty(), "the mounted trash was searched");
        ForkedChild::check(found, duplicateCopies(view).empty(), "the mounted trash was searched as the chosen folder");
        ForkedChild::check(found, duplicateCopies(files).empty(), "the mounted files folder was searched as the chosen folder");
        ForkedChild::check(found, !service.moveToTrash({TrashRequest(view / "files/copy.ogg")}).failed.empty(), "an item in the trash was moved");
        return found;
    });
    if (ForkedChild::cannotMount(failures)) GTEST_SKIP() << failures;
    EXPECT_EQ(failures, "");
    EXPECT_TRUE(fs::exists(outside));
}

// A home shown again by a bind mount of itself, or of a folder above it (/home at /mnt/home), shows
// its trash again too: that trash is still never searched, offered or moved from, while the real
// copies beside it are found as before.
TEST_F(TrashLeftOutTest, AHomeMountedAgainKeepsItsTrashLeftOut) {
    if (!ForkedChild::isRoot()) GTEST_SKIP() << "needs root to mount";
    const std::string content(4096, 'h');
    for (const char* copy : {"home/Music/song.ogg", "home/Backup/song.ogg", "home/.local/share/Trash/files/song.ogg"})
        TempTree::setModified(tree.write(copy, content), 1'000'000'000);
    tree.file("home/.local/share/thumbnails/large.png", 5000);
    TempTree elsewhere;
    const std::string failures = ForkedChild::runInMountNamespace([&] {
        const fs::path homeMirror = elsewhere.folder("home mirror"), aboveMirror = elsewhere.folder("mnt");
        if (::mount((tree.path() / "home").c_str(), homeMirror.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
            ::mount(tree.path().c_str(), aboveMirror.c_str(), nullptr, MS_BIND, nullptr) != 0)
            return std::string(ForkedChild::mountFailed);
        std::string found;
        const auto install = [&](const fs::path& data) {
            SystemRoots withMounts = SystemRoots::fixture(tree.path());
            withMounts.proc = "/proc";
            withMounts.cacheHome = data;  // a cache folder reached through the mirror: its trash is an entry there
            SystemRoots::install(withMounts);
        };
        const std::vector<fs::path> mirrors{homeMirror, aboveMirror / "home"};
        for (const fs::path& mirror : mirrors) {
            const fs::path data = mirror / ".local/share";
            install(data);
            const std::string where = " under " + mirror.string();
            ForkedChild::check(found, TrashFolders::current().isWithinTrash(data / "Trash/files/song.ogg"), "the mirrored trash was not known" + where);
            ForkedChild::check(found, duplicateCopies(mirror) == std::set<fs::path>{mirror / "Music/song.ogg", mirror / "Backup/song.ogg"},
                               "the duplicate finder did not offer just the two copies" + where);
            ForkedChild::check(found, forgotten(data) == std::set<fs::path>{data / "thumbnails/large.png"}, "forgotten files went into the trash" + where);
            std::set<fs::path> proposed;
            for (const CleanupCandidate& candidate : service.cleanupCandidates()) proposed.insert(candidate.path);
            ForkedChild::check(found, proposed == std::set<fs::path>{data / "thumbnails"}, "cleanup did not propose just the thumbnails" + where);
        }
        // Last, as a move that wrongly happens changes what the other mirror shows.
        for (const fs::path& mirror : mirrors) {
            const fs::path trashed = mirror / ".local/share/Trash/files/song.ogg";
            ForkedChild::check(found, !service.moveToTrash({TrashRequest(trashed)}).failed.empty() && fs::exists(trashed),
                               "an item in the mirrored trash was moved under " + mirror.string());
        }
        return found;
    });
    if (ForkedChild::cannotMount(failures)) GTEST_SKIP() << failures;
    EXPECT_EQ(failures, "");
}
