#include "Platform/RealPath.h"
#include "Support/TempTree.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

// Two spellings of one folder compare equal: a link resolved, a closing slash and "." dropped, a
// folder not there as written; the top folder stays "/", which everything lies within.
TEST(RealPath, AFolderComparesInOneSpelling) {
    TempTree tree;
    const fs::path real = tree.folder("media/Photos");
    fs::create_symlink(real, tree.path() / "Photos");
    EXPECT_EQ(comparableFolder(tree.path() / "Photos/"), comparableFolder(real));
    EXPECT_EQ(comparableFolder(tree.path() / "Photos/."), comparableFolder(real));
    EXPECT_EQ(comparableFolder("/nowhere/gone/"), fs::path("/nowhere/gone"));
    EXPECT_EQ(comparableFolder("/"), fs::path("/"));
    EXPECT_EQ(comparableFolder("//"), fs::path("/"));
}
