#include "Platform/HomeDotfiles.h"
#include "Support/TempTree.h"
#include "Support/TestGit.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

// A home reached through a link is one home: an item named by either path is kept, and a repository
// whose work tree names the real folder is the home's.
TEST(HomeDotfiles, AHomeReachedThroughALinkIsOneHome) {
    TempTree tree;
    const fs::path real = tree.folder("var/home/maya");
    tree.write("var/home/maya/.config/app/settings", "x");
    tree.folder("var/home/maya/.config/other");
    fs::create_directories(tree.path() / "home");
    fs::create_symlink(real, tree.path() / "home/maya");
    TestGit::run(real, {"init", "-q", "--bare", (real / ".dotfiles").string()});
    TestGit::run(real, {"--git-dir=" + (real / ".dotfiles").string(), "config", "core.bare", "false"});
    TestGit::run(real, {"--git-dir=" + (real / ".dotfiles").string(), "config", "core.worktree", real.string()});
    TestGit::run(real, {"--git-dir=" + (real / ".dotfiles").string(), "add", ".config/app/settings"});
    SystemRoots roots = SystemRoots::fixture(tree.path());
    roots.home = tree.path() / "home/maya";
    roots.configHome = roots.home / ".config";
    roots.dataHome = roots.home / ".local/share";
    const HomeDotfiles dotfiles = HomeDotfiles::of(roots, MountPoints::of(roots));
    for (const fs::path& item : {roots.home / ".config/app", real / ".config/app", roots.home / ".config/app/"}) {
        const auto keeper = dotfiles.keeping(item);
        ASSERT_TRUE(keeper) << item;
        EXPECT_EQ(keeper->repository, roots.home / ".dotfiles");
        EXPECT_TRUE(keeper->known);
    }
    EXPECT_FALSE(dotfiles.keeping(real / ".config/other"));
    EXPECT_FALSE(dotfiles.keeping(roots.home));
    EXPECT_FALSE(dotfiles.keeping(tree.path() / "var/home/.config/app"));
}
