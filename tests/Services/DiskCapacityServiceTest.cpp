#include "Platform/StandardizedPath.h"
#include "Services/DiskCapacityService.h"
#include "Support/TempTree.h"

#include <gtest/gtest.h>

TEST(DiskCapacityService, ReportsTheVolumeOfAnExistingLocationOnly) {
    TempTree tree;
    auto capacity = DiskCapacityService().capacity(tree.path());
    EXPECT_GT(capacity.total, 0);
    EXPECT_GE(capacity.available, 0);
    EXPECT_LE(capacity.available, capacity.total);
    EXPECT_EQ(DiskCapacityService().capacity(tree.path() / "missing"), DiskCapacityService::Capacity{});
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
