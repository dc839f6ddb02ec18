#include "Platform/ChezmoiSource.h"
#include "Support/TempTree.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

// Each source name stands for the name chezmoi gives it in the home; scripts, removals and chezmoi's
// own files stand for nothing there.
TEST(ChezmoiSource, ReadsNamesAsChezmoiDoes) {
    const std::tuple<const char*, bool, std::optional<std::string>> rows[]{
        {"dot_config", true, ".config"},
        {"private_dot_ssh", true, ".ssh"},
        {"exact_private_readonly_dot_gnupg", true, ".gnupg"},
        {"external_dot_oh-my-zsh", true, ".oh-my-zsh"},
        {"private_FreeCAD", true, "FreeCAD"},
        {"dot_bashrc", false, ".bashrc"},
        {"private_executable_dot_netrc.tmpl", false, ".netrc"},
        {"encrypted_private_dot_token.age", false, ".token"},
        {"encrypted_dot_key.asc", false, ".key"},
        {"create_empty_kritarc", false, "kritarc"},
        {"modify_dot_gitconfig.tmpl", false, ".gitconfig"},
        {"symlink_dot_vimrc", false, ".vimrc"},
        {"literal_dot_x", false, "dot_x"},
        {"dot_x.tmpl.literal", false, ".x.tmpl"},
        {"notes.age", false, "notes.age"},
        {"dot_private_x", false, ".private_x"},
        {"run_once_install.sh", false, std::nullopt},
        {"run_onchange_before_setup.sh.tmpl", false, std::nullopt},
        {"remove_dot_old", false, std::nullopt},
        {"remove_dot_cache", true, std::nullopt},
        {".chezmoiignore", false, std::nullopt},
        {".git", true, std::nullopt},
        {"dot_", false, std::nullopt},
    };
    for (const auto& [name, folder, target] : rows) EXPECT_EQ(ChezmoiSource::targetName(name, folder), target) << name;
}

// The source's tree read once into the paths of the home it names, from the root its .chezmoiroot
// sets; below an external folder names are as they are.
TEST(ChezmoiSource, NamesThePathsOfTheHome) {
    TempTree tree;
    const fs::path source = tree.folder("chezmoi");
    tree.write("chezmoi/.chezmoiroot", "home\n");
    tree.write("chezmoi/README.md", "not in the home");
    tree.write("chezmoi/home/dot_config/private_FreeCAD/user.cfg.tmpl", "x");
    tree.write("chezmoi/home/dot_config/exact_kdenlive/dot_keep", "");
    tree.folder("chezmoi/home/dot_local/share/private_empty");
    tree.write("chezmoi/home/dot_local/share/external_plugins/dot_config/run_me", "literal");
    tree.write("chezmoi/home/run_once_setup.sh", "#!/bin/sh\n");
    tree.write("chezmoi/home/.chezmoiignore", "x\n");
    const auto targets = ChezmoiSource::targets(source);
    ASSERT_TRUE(targets);
    EXPECT_EQ(targets->files, (std::vector<std::string>{".config", ".config/FreeCAD", ".config/FreeCAD/user.cfg", ".config/kdenlive", ".config/kdenlive/.keep",
                                                        ".local", ".local/share", ".local/share/empty", ".local/share/plugins",
                                                        ".local/share/plugins/dot_config", ".local/share/plugins/dot_config/run_me"}));
    EXPECT_TRUE(targets->holds(".config/FreeCAD"));
    EXPECT_TRUE(targets->holds(".local/share/empty"));
    EXPECT_FALSE(targets->holds(".config/freecad"));
    EXPECT_FALSE(targets->holds("README.md"));
}

// No source names nothing; one whose root cannot be listed cannot be told.
TEST(ChezmoiSource, AnUnreadableSourceCannotBeTold) {
    TempTree tree;
    ASSERT_TRUE(ChezmoiSource::targets(tree.path() / "none"));
    EXPECT_TRUE(ChezmoiSource::targets(tree.path() / "none")->files.empty());
    tree.write("chezmoi/.chezmoiroot", "home\n");
    tree.write("chezmoi/home", "a file, not a folder");
    EXPECT_FALSE(ChezmoiSource::targets(tree.path() / "chezmoi"));
    tree.write("escape/.chezmoiroot", "../elsewhere\n");
    EXPECT_FALSE(ChezmoiSource::targets(tree.path() / "escape"));
}

// A source deeper than any home's settings keeps its deepest folders whole.
TEST(ChezmoiSource, ItsDeepestFoldersAreKeptWhole) {
    TempTree tree;
    std::string source = "chezmoi", target;
    for (int depth = 0; depth < 34; ++depth) {
        source += "/dot_d";
        target += (target.empty() ? "" : "/") + std::string(".d");
    }
    tree.write(source + "/file", "x");
    const auto targets = ChezmoiSource::targets(tree.path() / "chezmoi");
    ASSERT_TRUE(targets);
    std::string kept;
    for (int depth = 0; depth < 32; ++depth) kept += (kept.empty() ? "" : "/") + std::string(".d");
    EXPECT_EQ(targets->folders, std::vector<std::string>{kept});
    EXPECT_EQ(targets->files.size(), 31u);
    EXPECT_TRUE(targets->holds(target + "/file"));
}
