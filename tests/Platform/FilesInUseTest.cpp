#include "Platform/FilesInUse.h"
#include "Support/HoldingChild.h"
#include "Support/TempTree.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

// Only what lies in a folder asked about is kept, however a process holds it: a file it only maps
// counts, a file in a folder whose name merely begins like an asked one does not, nor anything
// outside them.
TEST(FilesInUse, KeepsWhatLiesInTheFoldersAskedAbout) {
    TempTree tree;
    const fs::path cache = tree.path() / "home/.cache";
    const fs::path plain = tree.folder("home/.cache/plain");
    const fs::path workedIn = tree.folder("home/.cache/work/here");
    const HoldingChild child({.open = {tree.file("home/.cache/plain2/open.db", 100), tree.file("home/Documents/open.txt", 100)},
                              .mapped = {tree.file("home/.cache/mapped/index.bin", 8192)},
                              .workingFolder = workedIn},
                             tree.path() / "proc");
    const SystemRoots machine = child.roots(tree.path());
    const PlaceIndex held = FilesInUse::read(machine, {cache / "mapped", plain, cache / "work", tree.path() / "home/Music"});

    ASSERT_TRUE(child.isHolding());
    const std::string program = fs::read_symlink("/proc/self/exe").filename().native();
    EXPECT_EQ(held.within(cache / "mapped"), program);
    EXPECT_EQ(held.within(workedIn), program);
    EXPECT_EQ(held.within(plain), std::nullopt);
    EXPECT_EQ(held.within(cache / "plain2"), std::nullopt);
    EXPECT_EQ(held.within(tree.path() / "home"), program);  // what was kept, and no more
    EXPECT_EQ(held.within(tree.path() / "home/Documents"), std::nullopt);
    EXPECT_TRUE(FilesInUse::read(machine, {}).empty());
}
