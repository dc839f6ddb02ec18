#include "Models/ByteFormatting.h"
#include "Models/FreedSpace.h"
#include "Models/TrashFigureTexts.h"
#include "Platform/BlockSharingFolders.h"
#include "Services/FileIntelligenceService.h"
#include "Support/FixtureRoots.h"
#include "Support/ForkedChild.h"
#include "Support/LoopDisk.h"
#include "Support/TempTree.h"

#include <sys/stat.h>

#include <fstream>
#include <map>
#include <set>

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using ForkedChild::check;

namespace {

const Instant longAgo = Instant::fromUnixSeconds(1'600'000'000);

fs::path randomFile(const fs::path& path, std::size_t size, unsigned seed) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << TempTree::randomBytes(size, seed);
    return path;
}

void link(const fs::path& from, const fs::path& to) {
    fs::create_directories(to.parent_path());
    fs::create_hard_link(from, to);
}

// The homes of developers whose tools link files: uv's cache with a project's environment linked
// into it and its own cached environments linked inside it, pnpm's store linked into a project,
// ccache's own links, a conda `pkgs` linked into `envs`; and plain npm and Gradle caches.
void buildDeveloperHome(const fs::path& root) {
    const fs::path home = root / "home";
    const fs::path uv = home / ".cache/uv";
    const fs::path shared = randomFile(uv / "archive-v0/a1/numpy/core.so", 96 * 1024, 1);
    const fs::path internal = randomFile(uv / "archive-v0/a1/numpy/linalg.so", 64 * 1024, 2);
    randomFile(uv / "archive-v0/a1/numpy/__init__.py", 9000, 3);
    link(shared, home / "project/.venv/lib/python3.12/site-packages/numpy/core.so");
    link(internal, uv / "environments-v1/tool-env/lib/numpy/linalg.so");
    link(internal, uv / "builds-v0/b7/linalg.so");

    const fs::path store = home / ".cache/pnpm/store/v3/files/00/3fa1";
    randomFile(store, 40 * 1024, 4);
    link(store, home / "project/node_modules/.pnpm/left-pad@1.3.0/node_modules/left-pad/index.js");
    randomFile(home / ".cache/pnpm/metadata/registry.npmjs.org/left-pad.json", 5000, 5);

    const fs::path object = randomFile(home / ".cache/ccache/a/1/object.o", 48 * 1024, 6);
    link(object, home / ".cache/ccache/b/2/object.o");

    randomFile(home / ".npm/_cacache/content-v2/sha512/ab/cd/0123", 70 * 1024, 7);
    randomFile(home / ".npm/_cacache/index-v5/12/34/5678", 3000, 8);
    randomFile(home / ".gradle/caches/modules-2/files-2.1/org.x/lib/1.0/lib-1.0.jar", 120 * 1024, 9);

    const fs::path package = randomFile(home / "miniconda3/pkgs/libtorch-2.1/lib/libtorch_cpu.so", 300 * 1024, 10);
    link(package, home / "miniconda3/envs/ml/lib/libtorch_cpu.so");
    randomFile(home / "miniconda3/pkgs/libtorch-2.1/lib/libc10.so", 200 * 1024, 11);
    for (const auto& entry : fs::recursive_directory_iterator(home / "miniconda3"))
        if (entry.is_regular_file()) TempTree::setModified(entry.path(), time_t(longAgo.unixSeconds()));
}

// What the file system itself says, walked apart from the app: for a set of items, the blocks of
// the files with a name among them, each file once, and those of the files all of whose names are
// among them, which removing the items frees.
struct Truth {
    std::int64_t size = 0;
    std::int64_t freed = 0;
};

Truth truthOf(const fs::path& tree, const std::vector<fs::path>& items) {
    struct File {
        std::int64_t blocks = 0;
        nlink_t links = 0;
        nlink_t named = 0;
    };
    std::map<std::pair<dev_t, ino_t>, File> files;
    for (const auto& entry : fs::recursive_directory_iterator(tree)) {
        struct stat status {};
        if (::lstat(entry.path().c_str(), &status) != 0 || !S_ISREG(status.st_mode)) continue;
        File& file = files[{status.st_dev, status.st_ino}];
        file.blocks = std::int64_t(status.st_blocks) * 512;
        file.links = status.st_nlink;
        for (const fs::path& item : items)
            if (entry.path() == item || entry.path().native().starts_with(item.native() + "/")) ++file.named;
    }
    Truth truth;
    for (const auto& [key, file] : files) {
        if (file.named > 0) truth.size += file.blocks;
        if (file.named >= file.links) truth.freed += file.blocks;
    }
    return truth;
}

std::int64_t together(const std::vector<CleanupCandidate>& candidates) {
    std::vector<const FreedSpace*> parts;
    for (const CleanupCandidate& candidate : candidates) parts.push_back(&candidate.freed);
    return FreedSpace::together(parts);
}

std::vector<fs::path> pathsOf(const std::vector<CleanupCandidate>& candidates) {
    std::vector<fs::path> paths;
    for (const CleanupCandidate& candidate : candidates) paths.push_back(candidate.path);
    return paths;
}

const CleanupCandidate* find(const std::vector<CleanupCandidate>& list, const fs::path& path) {
    for (const CleanupCandidate& candidate : list)
        if (candidate.path == path) return &candidate;
    return nullptr;
}

// Each item's figures, and those of the whole list, against the walk by inode; notes what differs.
void checkAgainstTheFileSystem(std::string& failures, const fs::path& tree, const std::vector<CleanupCandidate>& list) {
    for (const CleanupCandidate& candidate : list) {
        const Truth truth = truthOf(tree, {candidate.path});
        check(failures, candidate.size == truth.size,
                           candidate.path.string() + " size " + std::to_string(candidate.size) + " != " + std::to_string(truth.size));
        check(failures, candidate.freed.alone() == truth.freed,
                           candidate.path.string() + " frees " + std::to_string(candidate.freed.alone()) + " != " + std::to_string(truth.freed));
    }
    const Truth all = truthOf(tree, pathsOf(list));
    check(failures, together(list) == all.freed, "the list frees " + std::to_string(together(list)) + " != " + std::to_string(all.freed));
    // What the whole list puts in the Trash: a file several items hold goes there once.
    std::vector<TrashFigures::Item> items;
    for (const CleanupCandidate& candidate : list) items.push_back(candidate.trashItem());
    const TrashFigures figures = TrashFigures::of(items);
    check(failures, figures.moved == all.size, "the list moves " + std::to_string(figures.moved) + " != " + std::to_string(all.size));
    check(failures, figures.freed == all.freed, "the list's figures free " + std::to_string(figures.freed) + " != " + std::to_string(all.freed));
}

// The blocks of the folders in and at `item`: removing it frees them too, and no tool lists them.
std::int64_t folderBlocks(const fs::path& item) {
    std::int64_t blocks = 0;
    auto add = [&](const fs::path& path) {
        struct stat status {};
        if (::lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) blocks += std::int64_t(status.st_blocks) * 512;
    };
    add(item);
    if (fs::is_directory(fs::symlink_status(item)))
        for (const auto& entry : fs::recursive_directory_iterator(item)) add(entry.path());
    return blocks;
}

}  // namespace

// A file counts once however many of its names an item holds, and frees its blocks only when every
// name goes: uv's cache frees only what no project links to, pnpm's store what no project links to,
// ccache's own links once. The plain npm and Gradle caches free all they take.
TEST(FreedSpace, EachItemFreesWhatRemovingItFrees) {
    TempTree tree;
    FixtureRoots roots(tree.path());
    buildDeveloperHome(tree.path());
    FileIntelligenceService service;
    const fs::path home = tree.path() / "home";
    // One wheel with a name in each of two caches: moving both puts it in the Trash once.
    link(randomFile(home / ".cache/pip/wheels/ab/numpy-1.26.whl", 32 * 1024, 12), home / ".cache/pip-tools/wheels/numpy-1.26.whl");
    // Many folders of one cache, each with a file a project also names: the walk's workers share
    // them out, and each file counts one name here whichever worker met it.
    for (int folder = 0; folder < 96; ++folder)
        link(randomFile(home / ".cache/yarn/v6" / std::to_string(folder) / "index.js", 4096, unsigned(100 + folder)),
             home / "project/node_modules" / std::to_string(folder) / "index.js");

    std::string failures;
    const std::vector<CleanupCandidate> cleanup = service.cleanupCandidates();
    checkAgainstTheFileSystem(failures, tree.path(), cleanup);
    const std::vector<CleanupCandidate> developer = service.developerCandidates();
    checkAgainstTheFileSystem(failures, tree.path(), developer);
    EXPECT_EQ(failures, "");

    const CleanupCandidate* uv = find(cleanup, home / ".cache/uv");
    ASSERT_NE(uv, nullptr);
    EXPECT_EQ(uv->size, TempTree::allocatedSize(home / ".cache/uv/archive-v0/a1/numpy/core.so") +
                            TempTree::allocatedSize(home / ".cache/uv/archive-v0/a1/numpy/linalg.so") +
                            TempTree::allocatedSize(home / ".cache/uv/archive-v0/a1/numpy/__init__.py"));
    EXPECT_EQ(uv->freed.alone(), uv->size - TempTree::allocatedSize(home / ".cache/uv/archive-v0/a1/numpy/core.so"));
    const CleanupCandidate* ccache = find(cleanup, home / ".cache/ccache");
    ASSERT_NE(ccache, nullptr);
    EXPECT_EQ(ccache->freed.alone(), TempTree::allocatedSize(home / ".cache/ccache/a/1/object.o"));
    EXPECT_EQ(ccache->size, ccache->freed.alone());
    for (const fs::path& plain : {home / ".npm/_cacache", home / ".gradle/caches"}) {
        const CleanupCandidate* cache = find(developer, plain);
        ASSERT_NE(cache, nullptr) << plain;
        EXPECT_EQ(cache->freed.alone(), cache->size) << plain;
        EXPECT_EQ(cache->freed.linked.size(), 0u) << plain;
    }

    // A conda package hard-linked into an environment: each name alone frees nothing, both free the
    // file once.
    const std::vector<ScannedFile> forgotten = service.forgottenFiles(home, 365, 100 * 1024);
    ASSERT_EQ(forgotten.size(), 3u);
    std::vector<FreedSpace> parts;
    for (const ScannedFile& file : forgotten) {
        parts.push_back(file.freed());
        EXPECT_EQ(file.freed().alone(), truthOf(tree.path(), {file.path}).freed) << file.path;
    }
    EXPECT_EQ(FreedSpace::together({&parts[0], &parts[1], &parts[2]}),
              truthOf(tree.path(), {forgotten[0].path, forgotten[1].path, forgotten[2].path}).freed);
    EXPECT_EQ(FreedSpace::together({&parts[0], &parts[1], &parts[2]}),
              TempTree::allocatedSize(home / "miniconda3/pkgs/libtorch-2.1/lib/libtorch_cpu.so") +
                  TempTree::allocatedSize(home / "miniconda3/pkgs/libtorch-2.1/lib/libc10.so"));
}

// A move's figures: a file two items hold goes to the Trash once and frees only with both; a
// reflinked copy on a compressed disk frees nothing, which is never "up to" anything.
TEST(FreedSpace, AMovesFiguresCountAFileOnceAndNothingIsNeverUpTo) {
    const FreedSpace::LinkedFile wheel{8, 1, 2, 1, 6'000, 6'000};
    const TrashFigures::Item uv{20'000, {4'400, {wheel}}}, tool{9'000, {3'000, {wheel}}};
    EXPECT_EQ(TrashFigures::of({uv, tool}), (TrashFigures{23'000, 13'400, false}));
    EXPECT_EQ(TrashFigures::of({uv}), (TrashFigures{20'000, 4'400, false}));
    ScannedFile reflinked;
    reflinked.size = 5'000;
    reflinked.sharedBytes = 5'000;
    reflinked.compressed = true;
    EXPECT_EQ(TrashFigures::of({reflinked.trashItem()}), (TrashFigures{5'000, 0, false}));
    reflinked.sharedBytes = 1'000;
    EXPECT_EQ(TrashFigures::of({reflinked.trashItem()}), (TrashFigures{5'000, 4'000, true}));
    reflinked.sharedBytes = 5'000;  // and a second name: still nothing to free
    reflinked.identity = FileIdentity();
    reflinked.identity->device = 8;
    reflinked.identity->inode = 2;
    reflinked.identity->links = 2;
    EXPECT_EQ(TrashFigures::of({reflinked.trashItem()}), (TrashFigures{5'000, 0, false}));
    EXPECT_EQ(TrashFigureTexts::freedBytes(0, true), ByteFormatting::string(std::int64_t(0)));
    EXPECT_NE(TrashFigureTexts::freedBytes(4'000, true), ByteFormatting::string(std::int64_t(4'000)));
}

// The same homes on a file system of their own: what `df` says each item's removal frees, less the
// blocks of its folders, is the item's figure.
TEST(FreedSpace, RemovingEachItemFreesItsFigureOnDisk) {
    if (!ForkedChild::isRoot()) GTEST_SKIP() << "needs root to mount";
    TempTree tree;
    const fs::path image = tree.path() / "disk.img";
    if (!LoopDisk::make(image, 64 << 20, {"/usr/sbin/mkfs.ext4", "-q", "-F"})) GTEST_SKIP() << "cannot make an ext4 file system";
    const fs::path disk = tree.folder("disk");
    const std::string failures = ForkedChild::runInMountNamespace([&] {
        if (!LoopDisk::mount(image, disk)) return std::string(ForkedChild::mountFailed);
        buildDeveloperHome(disk);
        FixtureRoots roots(disk);
        FileIntelligenceService service;
        std::string found;
        std::vector<CleanupCandidate> items = service.cleanupCandidates();
        for (CleanupCandidate& candidate : service.developerCandidates()) items.push_back(std::move(candidate));
        check(found, items.size() == 6, "not six items: " + std::to_string(items.size()));
        // No file has names in two items: each removal frees its own figure, whatever went before.
        // Both lists hold pnpm's cache; it goes once.
        std::set<fs::path> removed;
        for (const CleanupCandidate& item : items) {
            if (!removed.insert(item.path).second) continue;
            const std::int64_t folders = folderBlocks(item.path);
            const std::int64_t before = LoopDisk::settledFreeBytes(image, disk);
            fs::remove_all(item.path);
            const std::int64_t freed = LoopDisk::settledFreeBytes(image, disk) - before - folders;
            check(found, freed == item.freed.alone(),
                               item.path.string() + ": df freed " + std::to_string(freed) + ", shown " + std::to_string(item.freed.alone()));
        }
        return found;
    });
    if (ForkedChild::cannotMount(failures)) GTEST_SKIP() << "no loop device here: " << failures;
    EXPECT_EQ(failures, "");
}

// Copies that share their blocks with a file outside the item (`cp --reflink`, file managers on XFS
// and btrfs) free nothing, in a cache and as forgotten files; the item's own blocks still count.
TEST(FreedSpace, ReflinkedCopiesFreeNothing) {
    const std::optional<std::vector<std::string>> mkfs = LoopDisk::blockSharingMkfs();
    if (!ForkedChild::isRoot() || !mkfs) GTEST_SKIP() << "needs root and mkfs.xfs or mkfs.btrfs";
    TempTree tree;
    const fs::path image = tree.path() / "disk.img";
    if (!LoopDisk::make(image, 320 << 20, *mkfs)) GTEST_SKIP() << "cannot make a file system with " << mkfs->front();
    const fs::path disk = tree.folder("disk");
    const std::string failures = ForkedChild::runInMountNamespace([&] {
        if (!LoopDisk::mount(image, disk)) return std::string(ForkedChild::mountFailed);
        const fs::path home = disk / "home";
        const fs::path original = randomFile(home / "Pictures/original.raw", 256 * 1024, 20);
        fs::create_directories(home / ".cache/thumbnails");
        if (!LoopDisk::reflink(original, home / ".cache/thumbnails/copy.raw")) return std::string("no reflink on ") + mkfs->front();
        const fs::path own = randomFile(home / ".cache/thumbnails/own.raw", 128 * 1024, 21);
        const fs::path video = randomFile(home / "Videos/talk.mkv", 512 * 1024, 22);
        LoopDisk::reflink(video, home / "Videos/talk-copy.mkv");
        TempTree::setModified(video, time_t(longAgo.unixSeconds()));
        TempTree::setModified(home / "Videos/talk-copy.mkv", time_t(longAgo.unixSeconds()));
        ::sync();

        FixtureRoots roots(disk);
        FileIntelligenceService service;
        std::string found;
        const std::vector<CleanupCandidate> cleanup = service.cleanupCandidates();
        const CleanupCandidate* thumbnails = find(cleanup, home / ".cache/thumbnails");
        if (!thumbnails) return std::string("no thumbnails candidate");
        check(found, thumbnails->size == TempTree::allocatedSize(home / ".cache/thumbnails/copy.raw") + TempTree::allocatedSize(own),
              "size " + std::to_string(thumbnails->size));
        check(found, thumbnails->freed.alone() == TempTree::allocatedSize(own), "the cache frees " + std::to_string(thumbnails->freed.alone()));
        const std::int64_t folders = folderBlocks(thumbnails->path);
        const std::int64_t before = LoopDisk::settledFreeBytes(image, disk);
        fs::remove_all(thumbnails->path);
        const std::int64_t freed = LoopDisk::settledFreeBytes(image, disk) - before - folders;
        // XFS frees a chunk of 64 inodes with the last inode in it: up to 32 KiB more than the files'
        // blocks, far less than the reflinked copy.
        check(found, freed >= thumbnails->freed.alone() && freed <= thumbnails->freed.alone() + 64 * 1024, "df freed " + std::to_string(freed));

        const std::vector<ScannedFile> forgotten = service.forgottenFiles(home, 365, 100 * 1024);
        check(found, forgotten.size() == 2, "not two forgotten files");
        for (const ScannedFile& file : forgotten)
            check(found, file.freed().alone() == 0 && file.size > 0, file.path.string() + " frees " + std::to_string(file.freed().alone()));

        // A folder of this disk mounted inside a folder of another file system: only its files are
        // asked for their extents.
        const fs::path outer = tree.folder("outer");
        const fs::path inner = tree.folder("outer/inner");
        if (!LoopDisk::bind(home / "Videos", inner)) return found + "bind failed";
        const BlockSharingFolders sharing({outer.string()});
        check(found, sharing.anyMayShare() && !sharing.mayShare(0, outer.string()) && sharing.mayShare(0, inner.string()),
              "the folder mounted inside was not told apart");
        return found;
    });
    if (ForkedChild::cannotMount(failures)) GTEST_SKIP() << "no loop device here: " << failures;
    EXPECT_EQ(failures, "");
}
