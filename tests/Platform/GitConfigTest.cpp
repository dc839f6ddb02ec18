#include "Platform/GitConfig.h"

#include <gtest/gtest.h>

// Values as git reads them from its config file.
TEST(GitConfig, ReadsValuesAsGitDoes) {
    const std::string text =
        "# written by hand\n"
        "[Core]\n"
        "\trepositoryformatversion = 0\n"
        "\tbare\n"
        "\tWorkTree = \"/home/maya/with # hash; and \\\"quotes\\\"\"   ; a comment\n"
        "[remote \"origin\"]\n"
        "\turl = /elsewhere\n"
        "[extensions]\n"
        "\tobjectFormat = sha256 # the new hash\n"
        "[core]\n"
        "\tshowUntracked =   no  \n"
        "\tescaped = a\\tb\\\\c\\\n"
        "[alias]\n"
        "\tworktree = other\n";
    EXPECT_EQ(GitConfig::value(text, "core", "worktree"), "/home/maya/with # hash; and \"quotes\"");
    EXPECT_EQ(GitConfig::value(text, "extensions", "objectformat"), "sha256");
    EXPECT_EQ(GitConfig::value(text, "core", "showuntracked"), "no");
    EXPECT_EQ(GitConfig::value(text, "core", "escaped"), "a\tb\\c\\");
    EXPECT_EQ(GitConfig::value(text, "core", "bare"), std::nullopt);
    EXPECT_EQ(GitConfig::value(text, "remote", "url"), std::nullopt);
    EXPECT_EQ(GitConfig::value(text, "alias", "worktree"), "other");
    EXPECT_EQ(GitConfig::value("[core]\nworktree = /a\nworktree = /b\n", "core", "worktree"), "/b");
    EXPECT_EQ(GitConfig::value("[core]\r\n\tworktree = \"\"\r\n", "core", "worktree"), "");
    EXPECT_EQ(GitConfig::value("worktree = /no/section\n", "core", "worktree"), std::nullopt);
}
