#include "Services/FileIntelligenceService.h"
#include "Support/BackupHome.h"
#include "Support/DuplicateSearches.h"
#include "Support/ForkedChild.h"
#include "Support/LoopDisk.h"
#include "Support/TempTree.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <set>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

bool holds(const std::vector<fs::path>& paths, const fs::path& path) { return std::find(paths.begin(), paths.end(), path) != paths.end(); }

}  // namespace

// Backups made with hard links beside the live folders: every group that reaches into one ticks
// nothing, neither the live file nor the backup's, also where the backup's copy is a file copied
// anew (one name) in a folder of linked ones, or alone in its folder below one. Its figure still says what moving the copies beyond
// the kept one would free. The `cp -a` copies of Pictures keep their originals, born first, and are
// ticked.
TEST(DuplicateBackups, AGroupThatReachesIntoABackupTicksNothing) {
    TempTree tree;
    BackupHome home(tree);
    if (!FileIdentity::at(home.pictures[0])->born) GTEST_SKIP() << "this file system keeps no birth time";
    int backupGroups = 0;
    int pictureGroups = 0;
    for (const DuplicateGroup& group : DuplicateSearches::search(tree.path(), false)) {
        const bool reaches = std::any_of(group.files.begin(), group.files.end(), [&](const ScannedFile& copy) { return holds(home.backups, copy.path); });
        std::int64_t freed = 0;
        for (std::size_t i = 1; i < group.files.size(); ++i)
            freed += FileIdentity::at(group.files[i].path)->links == 1 ? TempTree::allocatedSize(group.files[i].path) : 0;
        EXPECT_EQ(group.reclaimableBytes(), freed) << group.files[0].path;
        if (reaches) {
            ++backupGroups;
            EXPECT_FALSE(group.ticksCopies()) << group.files[0].path;
            continue;
        }
        ++pictureGroups;
        ASSERT_EQ(group.files.size(), 2u);
        EXPECT_TRUE(holds(home.pictures, group.files[0].path)) << group.files[0].path;
        EXPECT_TRUE(holds(home.picturesCopies, group.files[1].path)) << group.files[1].path;
        EXPECT_TRUE(group.ticksCopies()) << group.files[0].path;
        EXPECT_GT(group.reclaimableBytes(), 0);
    }
    EXPECT_EQ(backupGroups, 9);  // four songs, the note, three documents, and the changed document's old version
    EXPECT_EQ(pictureGroups, 3);
}

// One linked file at the top of the searched folder says nothing of the folders below it: their
// copies keep the newer one and tick the other.
TEST(DuplicateBackups, ALinkedFileAtTheTopLeavesTheFoldersBelowAlone) {
    TempTree tree;
    const std::string bytes = TempTree::randomBytes(64 << 10, 3);
    fs::create_hard_link(tree.write("linked.txt", "linked"), tree.path() / "linked-too.txt");
    TempTree::setModified(tree.write("Music/song.ogg", bytes), 1'600'000'000);
    TempTree::setModified(tree.write("Music/old/song.ogg", bytes), 1'500'000'000);
    const std::vector<DuplicateGroup> groups = DuplicateSearches::search(tree.path(), false);
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].files[0].path, tree.path() / "Music/song.ogg");
    EXPECT_TRUE(groups[0].ticksCopies());
}

namespace {

fs::path writeFile(const fs::path& path, const std::string& bytes, time_t modified) {
    const int out = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0 || ::write(out, bytes.data(), bytes.size()) != ssize_t(bytes.size()) || ::fsync(out) != 0) throw std::runtime_error("write failed");
    ::close(out);
    TempTree::setModified(path, modified);
    return path;
}

// As `cp --reflink=always` copies, with the copy's modification time set.
bool reflink(const fs::path& from, const fs::path& to, time_t modified) {
    if (!LoopDisk::reflink(from, to)) return false;
    TempTree::setModified(to, modified);
    return true;
}

}  // namespace

// Copies made by a file manager on XFS or btrfs share their blocks with the original: moving one
// frees only the blocks it no longer shares. A copy all of whose blocks are shared frees nothing,
// and its group is not ticked; one rewritten in part frees that part; a plain copy frees all it takes.
TEST(DuplicateSharedBlocks, ReflinkedCopiesFreeOnlyTheBlocksTheyDoNotShare) {
    const std::optional<std::vector<std::string>> mkfs = LoopDisk::blockSharingMkfs();
    if (!ForkedChild::isRoot() || !mkfs) GTEST_SKIP() << "needs root and mkfs.xfs or mkfs.btrfs";
    TempTree tree;
    const fs::path image = tree.path() / "disk.img";
    const fs::path mount = tree.folder("disk");
    if (!LoopDisk::make(image, 320 << 20, *mkfs)) GTEST_SKIP() << "cannot make a file system with " << mkfs->front();
    const std::string failures = ForkedChild::runInMountNamespace([&] {
        if (!LoopDisk::mount(image, mount)) return std::string(ForkedChild::mountFailed);
        constexpr std::size_t mib = 1 << 20;
        const std::string bytes = TempTree::randomBytes(4 * mib, 7);
        const fs::path original = writeFile(mount / "original.raw", bytes, 1'700'000'000);
        if (!reflink(original, mount / "shared.raw", 1'600'000'002) || !reflink(original, mount / "partly.raw", 1'600'000'001))
            return std::string("no reflink on ") + mkfs->front();
        // The first MiB of "partly" rewritten with the same bytes: its own blocks now.
        const int partly = ::open((mount / "partly.raw").c_str(), O_WRONLY | O_CLOEXEC);
        const bool rewritten = partly >= 0 && ::pwrite(partly, bytes.data(), mib, 0) == ssize_t(mib) && ::fsync(partly) == 0;
        if (partly >= 0) ::close(partly);
        TempTree::setModified(mount / "partly.raw", 1'600'000'001);
        writeFile(mount / "plain.raw", bytes, 1'600'000'000);

        std::string found;
        using ForkedChild::check;
        check(found, rewritten, "partly.raw not rewritten");
        const std::vector<DuplicateGroup> groups = DuplicateSearches::search(mount, false);
        check(found, groups.size() == 1 && groups[0].files.size() == 4, "not one group of four");
        if (!found.empty()) return found;
        const DuplicateGroup& group = groups[0];
        check(found, group.files[0].path == original, "the original is not kept");
        check(found, !group.ticksCopies() && group.files[1].untickedReason == UntickedReason::sharedBlocks, "a group with a reflinked copy ticks copies");
        const ScannedFile& shared = group.files[1];
        const ScannedFile& partlyShared = group.files[2];
        const ScannedFile& plain = group.files[3];
        check(found, DuplicateGroup::sharesAllBlocks(shared) && DuplicateGroup::freedBytes(shared) == 0, "the reflinked copy frees " + std::to_string(DuplicateGroup::freedBytes(shared)));
        check(found, !DuplicateGroup::sharesAllBlocks(partlyShared) && DuplicateGroup::freedBytes(partlyShared) == std::int64_t(mib),
              "the copy rewritten in part frees " + std::to_string(DuplicateGroup::freedBytes(partlyShared)));
        check(found, DuplicateGroup::freedBytes(plain) == TempTree::allocatedSize(plain.path), "the plain copy frees " + std::to_string(DuplicateGroup::freedBytes(plain)));
        check(found, group.reclaimableBytes() == std::int64_t(mib) + TempTree::allocatedSize(plain.path), "reclaimable " + std::to_string(group.reclaimableBytes()));
        return found;
    });
    if (ForkedChild::cannotMount(failures)) GTEST_SKIP() << "no loop device here: " << failures;
    EXPECT_EQ(failures, "");
}
