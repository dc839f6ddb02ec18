#include "Platform/SystemRoots.h"
#include "Platform/Trash.h"
#include "Support/FixtureRoots.h"
#include "Support/ForkedChild.h"
#include "Support/TempTree.h"

#include <unistd.h>

#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

class TrashTest : public ::testing::Test {
protected:
    fs::path trash() const { return tree.path() / "home/.local/share/Trash"; }
    std::string info(const std::string& name) const {
        std::ifstream file(trash() / "info" / (name + ".trashinfo"));
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }
    TempTree tree;
    FixtureRoots roots{tree.path()};
};

}  // namespace

TEST_F(TrashTest, CollisionsNeverOverwrite) {
    auto first = tree.write("home/docs/report.txt", "first");
    EXPECT_EQ(Trash::moveToTrash(first), trash() / "files/report.txt");
    auto second = tree.write("home/docs/report.txt", "second");
    EXPECT_EQ(Trash::moveToTrash(second), trash() / "files/report 2.txt");
    // A stale info file without its item still claims the name.
    tree.write("home/.local/share/Trash/info/report 3.txt.trashinfo", "x");
    auto third = tree.write("home/docs/report.txt", "third");
    EXPECT_EQ(Trash::moveToTrash(third), trash() / "files/report 4.txt");

    std::ifstream kept(trash() / "files/report.txt");
    std::string content;
    kept >> content;
    EXPECT_EQ(content, "first");
    EXPECT_FALSE(fs::exists(first));
    EXPECT_NE(info("report 2.txt").find("Path=" + (tree.path() / "home/docs/report.txt").string()), std::string::npos);
}

TEST_F(TrashTest, OddNamesKeepTheirBytesAndArePercentEncoded) {
    const std::string name = std::string("bad\xff name\n-%\"'.bin");
    auto item = tree.write("home/" + name, "x");
    auto moved = Trash::moveToTrash(item);
    EXPECT_EQ(moved.filename().native(), name);
    const std::string text = info(name);
    EXPECT_NE(text.find("[Trash Info]\nPath="), std::string::npos);
    EXPECT_NE(text.find("/bad%FF%20name%0A-%25%22%27.bin\n"), std::string::npos) << text;
    EXPECT_NE(text.find("DeletionDate="), std::string::npos);
}

TEST_F(TrashTest, LinksAreMovedNotFollowedAndMissingItemsFail) {
    auto target = tree.write("home/target.txt", "keep");
    fs::create_symlink(target, tree.path() / "home/link");
    EXPECT_EQ(Trash::moveToTrash(tree.path() / "home/link"), trash() / "files/link");
    EXPECT_TRUE(fs::exists(target));
    EXPECT_TRUE(fs::is_symlink(trash() / "files/link"));

    EXPECT_THROW(Trash::moveToTrash(tree.path() / "home/gone"), TrashError);
    EXPECT_THROW(Trash::moveToTrash(trash()), TrashError);
    EXPECT_TRUE(fs::exists(trash() / "files/link"));

    auto folder = tree.file("home/project/src/main.c", 10);
    EXPECT_EQ(Trash::moveToTrash(folder.parent_path().parent_path()), trash() / "files/project");
    EXPECT_TRUE(fs::exists(trash() / "files/project/src/main.c"));
}

// A trash folder someone else made is never used: the item goes to the next trash of its mount.
TEST(TrashOwnership, AnotherUsersTrashFolderIsPassedOver) {
    if (!ForkedChild::isRoot()) GTEST_SKIP() << "needs root to change the root folder";
    TempTree tree;
    tree.write("home/a.txt", "mine");
    for (const char* folder : {"home/.local/share/Trash", "home/.local/share/Trash/files", "home/.local/share/Trash/info"})
        ASSERT_EQ(::chown(tree.folder(folder).c_str(), 65534, 65534), 0);
    const std::string moved = ForkedChild::runInRoot(tree.path(), [] {
        SystemRoots::install(SystemRoots::fixture("/"));
        return Trash::moveToTrash("/home/a.txt").string();
    });
    EXPECT_EQ(moved, "/.Trash-0/files/a.txt");
    EXPECT_TRUE(fs::is_empty(tree.path() / "home/.local/share/Trash/files"));
    EXPECT_TRUE(fs::exists(tree.path() / ".Trash-0/info/a.txt.trashinfo"));
}
