#include "Platform/StandardizedPath.h"
#include "Services/DiskCapacityService.h"
#include "Platform/ProcessRunner.h"
#include "Support/ForkedChild.h"
#include "Support/LoopDisk.h"
#include "Support/TempTree.h"

#include <unistd.h>

#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

using ForkedChild::check;

TEST(DiskCapacityService, ReportsTheVolumeOfAnExistingLocationOnly) {
    TempTree tree;
    auto capacity = DiskCapacityService().capacity(tree.path());
    EXPECT_GT(capacity.total, 0);
    EXPECT_GE(capacity.available, 0);
    EXPECT_LE(capacity.available, capacity.total);
    EXPECT_EQ(DiskCapacityService().capacity(tree.path() / "missing"), DiskCapacityService::Capacity{});
}

// Used is what df calls used, the total less what is free; what is free beyond what is available is
// kept for root. A file system that reports no free count (0) is taken at what is available, and no
// part ever reads below zero.
TEST(DiskCapacityService, UsedAndKeptFromTheThreeCounts) {
    using Capacity = DiskCapacityService::Capacity;
    EXPECT_EQ((Capacity{1000, 300, 350}.used()), 650);
    EXPECT_EQ((Capacity{1000, 300, 350}.reserved()), 50);
    EXPECT_EQ((Capacity{1000, 300, 0}.used()), 700);
    EXPECT_EQ((Capacity{1000, 300, 0}.reserved()), 0);
    EXPECT_EQ((Capacity{1000, 300, 200}.used()), 700);  // less free than available: nothing kept back
    EXPECT_EQ((Capacity{1000, 300, 200}.reserved()), 0);
    EXPECT_EQ((Capacity{1000, 1200, 1200}.used()), 0);
    EXPECT_EQ((Capacity{1000, -5, 40}.reserved()), 40);
    EXPECT_EQ(Capacity{}.used(), 0);
}

TEST(StandardizedPath, RemovesDotsAndSlashesByTextAlone) {
    EXPECT_EQ(standardizedPath("/a/./b/../c/"), "/a/c");
    EXPECT_EQ(standardizedPath("//a//b"), "/a/b");
    EXPECT_EQ(standardizedPath("/.."), "/");
    EXPECT_EQ(standardizedPath("/"), "/");
    EXPECT_EQ(standardizedPath("rel/x"), std::filesystem::current_path() / "rel/x");

    TempTree tree;
    tree.folder("real/inner");
    std::filesystem::create_symlink("real/inner", tree.path() / "link");
    EXPECT_EQ(standardizedPath(tree.path() / "link/.."), tree.path());  // the link is not resolved
}

// On ext4 made with 5 % kept for root: used is what df says, the kept blocks are apart from it and
// from what is available, and the three add up to the whole.
TEST(DiskCapacityService, BlocksKeptForRootAreNeitherUsedNorAvailable) {
    if (!ForkedChild::isRoot()) GTEST_SKIP() << "needs root to mount";
    TempTree tree;
    const std::filesystem::path image = tree.path() / "disk.img";
    if (!LoopDisk::make(image, 128 << 20, {"/usr/sbin/mkfs.ext4", "-q", "-F", "-m", "5"})) GTEST_SKIP() << "cannot make an ext4 file system";
    const std::filesystem::path disk = tree.folder("disk");
    const std::string failures = ForkedChild::runInMountNamespace([&] {
        if (!LoopDisk::mount(image, disk)) return std::string(ForkedChild::mountFailed);
        std::ofstream(disk / "data.bin", std::ios::binary) << TempTree::randomBytes(8 << 20, 3);
        ::sync();
        const ProcessRunner::Result df = ProcessRunner::run("/usr/bin/df", {"-B1", "--output=used,avail", disk.string()});
        std::istringstream lines(df.output);
        std::string heading;
        std::int64_t dfUsed = -1, dfAvailable = -1;
        std::getline(lines, heading);
        lines >> dfUsed >> dfAvailable;
        const DiskCapacityService::Capacity capacity = DiskCapacityService().capacity(disk);
        std::string found;
        check(found, capacity.used() == dfUsed, "used " + std::to_string(capacity.used()) + ", df " + std::to_string(dfUsed));
        check(found, capacity.available == dfAvailable, "available " + std::to_string(capacity.available) + ", df " + std::to_string(dfAvailable));
        check(found, capacity.reserved() >= capacity.total / 25 && capacity.reserved() < capacity.total / 8, "reserved " + std::to_string(capacity.reserved()));
        check(found, capacity.used() + capacity.reserved() + capacity.available == capacity.total, "the parts do not add up");
        return found;
    });
    if (ForkedChild::cannotMount(failures)) GTEST_SKIP() << "no loop device here: " << failures;
    EXPECT_EQ(failures, "");
}
