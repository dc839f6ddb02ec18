#include "Platform/TrashError.h"
#include "Foundation/Cancelled.h"
#include "Services/FileIntelligenceService.h"
#include "Support/FixtureRoots.h"
#include "Support/TempTree.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

class MoveToTrashTest : public ::testing::Test {
protected:
    fs::path trashed(const std::string& name) const { return tree.path() / "home/.local/share/Trash/files" / name; }

    TempTree tree;
    FixtureRoots roots{tree.path()};
    FileIntelligenceService service;
};

}  // namespace

TEST_F(MoveToTrashTest, CountsWhatMovedAndSkipsWhatIsGone) {
    EXPECT_EQ(service.moveToTrash({}), 0);
    EXPECT_FALSE(fs::exists(tree.path() / "home/.local/share/Trash"));

    auto a = tree.write("home/docs/a.txt", "a");
    auto b = tree.write("home/docs/b.txt", "b");
    fs::create_symlink(tree.path() / "home/nowhere", tree.path() / "home/dangling");
    EXPECT_EQ(service.moveToTrash({a, tree.path() / "home/missing", b, a, tree.path() / "home/dangling"}), 2);
    EXPECT_TRUE(fs::exists(trashed("a.txt")));
    EXPECT_TRUE(fs::exists(trashed("b.txt")));
    EXPECT_FALSE(fs::exists(trashed("a 2.txt")));
    EXPECT_TRUE(fs::is_symlink(tree.path() / "home/dangling"));

    // A second item of the same name never overwrites the first.
    auto again = tree.write("home/other/a.txt", "again");
    EXPECT_EQ(service.moveToTrash({again}), 1);
    EXPECT_TRUE(fs::exists(trashed("a 2.txt")));
}

TEST_F(MoveToTrashTest, FailureOnTheSecondItemStopsThere) {
    auto first = tree.write("home/first.txt", "1");
    auto third = tree.write("home/third.txt", "3");
    tree.write("home/.local/share/keep.txt", "k");
    // The folder that holds the trash cannot go into it.
    EXPECT_THROW(service.moveToTrash({first, tree.path() / "home/.local", third}), TrashError);
    EXPECT_TRUE(fs::exists(trashed("first.txt")));
    EXPECT_TRUE(fs::exists(third));
    EXPECT_TRUE(fs::exists(tree.path() / "home/.local/share/keep.txt"));
}

TEST_F(MoveToTrashTest, StopRequestBeforeTheCallMovesNothing) {
    auto item = tree.write("home/item.txt", "x");
    std::stop_source stopped;
    stopped.request_stop();
    EXPECT_THROW(service.moveToTrash({item}, stopped.get_token()), Cancelled);
    EXPECT_TRUE(fs::exists(item));
}
