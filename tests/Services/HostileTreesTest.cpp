#include "Foundation/FileDescriptor.h"
#include "Platform/ProcessRunner.h"
#include "Services/DiskScanner.h"
#include "Services/FileIntelligenceService.h"
#include "Support/ForkedChild.h"
#include "Support/TempTree.h"

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using ForkedChild::check;

// Trees a hostile or unlucky user might hand the walks: roots behind links, depths past PATH_MAX,
// the kernel's own file systems, one file seen through two mounts.
namespace {

const Instant scanNow = Instant::fromUnixSeconds(1'780'000'000);
constexpr time_t longAgoSeconds = 1'700'000'000;

void makeOld(int directory, const char* name) {
    const timespec times[2] = {{longAgoSeconds, 0}, {longAgoSeconds, 0}};
    ::utimensat(directory, name, times, AT_SYMLINK_NOFOLLOW);
}

std::vector<DuplicateGroup> duplicates(const fs::path& folder) {
    return FileIntelligenceService().duplicateGroups(folder, false, nullptr, nullptr).groups;
}

}  // namespace

TEST(HostileTrees, RootsBehindLinksAreWalkedAtTheirRealPlace) {
    TempTree tree;
    const std::string content(3000, 'q');
    tree.write("real/a.bin", content);
    tree.write("real/sub/b.bin", content);
    makeOld(AT_FDCWD, (tree.path() / "real/a.bin").c_str());
    fs::create_symlink(tree.path() / "real", tree.path() / "home");

    const ScanSnapshot snapshot = DiskScanner().scan(tree.path() / "home", false, nullptr);
    EXPECT_EQ(snapshot.fileCount, 2);
    EXPECT_EQ(snapshot.inaccessibleCount, 0);
    EXPECT_EQ(snapshot.rootPath, tree.path() / "home");

    const auto groups = duplicates(tree.path() / "home");
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].files.size(), 2u);

    const auto forgotten = FileIntelligenceService([] { return scanNow; }).forgottenFiles(tree.path() / "home", 30, 0);
    ASSERT_EQ(forgotten.size(), 1u);
    EXPECT_EQ(forgotten[0].path, tree.path() / "real/a.bin");
}

// 2,000 levels of folders, far past PATH_MAX, with a file every 100 levels: all 20 are found.
TEST(HostileTrees, TreesDeeperThanAPathCanNameAreWalkedWhole) {
    TempTree tree;
    const std::string level = "level-0123";
    {
        FileDescriptor folder(::open(tree.folder("deep").c_str(), O_RDONLY | O_DIRECTORY));
        for (int depth = 1; depth <= 2000; ++depth) {
            ASSERT_EQ(::mkdirat(folder.get(), level.c_str(), 0755), 0);
            folder = FileDescriptor(::openat(folder.get(), level.c_str(), O_RDONLY | O_DIRECTORY));
            ASSERT_TRUE(folder.isOpen());
            if (depth % 100 == 0) {
                FileDescriptor file(::openat(folder.get(), "file.txt", O_WRONLY | O_CREAT, 0644));
                ASSERT_EQ(::write(file.get(), "data", 4), 4);
                makeOld(folder.get(), "file.txt");
            }
        }
    }
    const ScanSnapshot snapshot = DiskScanner().scan(tree.path() / "deep", false, nullptr);
    EXPECT_EQ(snapshot.fileCount, 20);
    EXPECT_EQ(snapshot.folderCount, 2000);
    EXPECT_EQ(snapshot.inaccessibleCount, 0);

    const auto forgotten = FileIntelligenceService([] { return scanNow; }).forgottenFiles(tree.path() / "deep", 30, 0);
    EXPECT_EQ(forgotten.size(), 20u);

    // The library's removal stops at PATH_MAX; rm goes any depth.
    ProcessRunner::run("/bin/rm", {"-rf", "--", (tree.path() / "deep").native()});
}

TEST(HostileTrees, TheKernelsOwnFileSystemsAreNotWalked) {
    if (!ForkedChild::isRoot()) GTEST_SKIP() << "needs root to mount";
    TempTree tree;
    tree.write("data/file.txt", std::string(5000, 'd'));
    const std::string failures = ForkedChild::runInMountNamespace([&] {
        std::string found;
        const std::pair<const char*, const char*> kinds[] = {{"proc", "proc"}, {"sysfs", "sys"}, {"devtmpfs", "dev"}, {"cgroup2", "cgroup"}};
        // proc at least; the others where this kernel allows them.
        for (const auto& [type, folder] : kinds) {
            fs::create_directories(tree.path() / folder);
            if (::mount(type, (tree.path() / folder).c_str(), type, 0, nullptr) != 0 && std::string(type) == "proc")
                return std::string(ForkedChild::mountFailed);
        }
        const ScanSnapshot snapshot = DiskScanner().scan(tree.path(), false, nullptr);
        check(found, snapshot.fileCount == 1, "files counted: " + std::to_string(snapshot.fileCount));
        check(found, snapshot.folderCount == 5, "folders counted: " + std::to_string(snapshot.folderCount));
        check(found, DiskScanner().scan(tree.path() / "proc", false, nullptr).fileCount == 0, "proc walked");
        check(found, duplicates(tree.path() / "sys").empty(), "sysfs has duplicates");
        check(found, duplicates(tree.path() / "dev").empty(), "devtmpfs has duplicates");
        return found;
    });
    if (ForkedChild::cannotMount(failures)) GTEST_SKIP() << failures;
    EXPECT_EQ(failures, "");
}

// A bind mount shows one file twice: same device and inode, one link. It is no duplicate of itself,
// nor are its hard links; a real copy still is.
TEST(HostileTrees, OneFileSeenThroughTwoMountsIsNotItsOwnDuplicate) {
    if (!ForkedChild::isRoot()) GTEST_SKIP() << "needs root to mount";
    TempTree tree;
    const std::string lonely(4096, 'l'), copied(5000, 'c'), linked(6000, 'h');
    tree.write("a/lonely.bin", lonely);
    tree.write("a/copied.bin", copied);
    tree.write("elsewhere/copied.bin", copied);
    tree.write("a/linked.bin", linked);
    fs::create_hard_link(tree.path() / "a/linked.bin", tree.path() / "elsewhere/linked.bin");
    tree.folder("b");
    const std::string failures = ForkedChild::runInMountNamespace([&] {
        if (::mount((tree.path() / "a").c_str(), (tree.path() / "b").c_str(), nullptr, MS_BIND, nullptr) != 0) return std::string(ForkedChild::mountFailed);
        std::string found;
        std::map<std::int64_t, std::size_t> groupSizes;
        for (const DuplicateGroup& group : duplicates(tree.path())) groupSizes[group.fileSize] = group.files.size();
        check(found, !groupSizes.contains(4096), "one file offered as its own duplicate");
        check(found, groupSizes[5000] == 2, "the real copy: " + std::to_string(groupSizes[5000]) + " paths");
        check(found, !groupSizes.contains(6000), "hard links offered as copies");
        return found;
    });
    if (ForkedChild::cannotMount(failures)) GTEST_SKIP() << failures;
    EXPECT_EQ(failures, "");
}
