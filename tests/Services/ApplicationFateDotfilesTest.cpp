#include "Services/InstalledHome.h"
#include "Support/TestGit.h"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;
using namespace InstalledFiles;

// What a dotfiles repository keeps is the user's: listed, never ticked, its row naming the repository.
// What it does not keep goes as before.
namespace {

// Zettlr as an AppImage, its settings beside its data and cache.
struct Zettlr {
    fs::path entry, image, settings, data, cache;
};

Zettlr zettlr(InstalledHome& home) {
    const auto [entry, image] = home.anAppImage("Zettlr", "Zettlr", "Zettlr-3.0.5-x86_64.AppImage");
    home.tree.write("home/.bashrc", "alias ll='ls -l'\n");
    home.tree.write("home/.local/share/fonts/Inter.ttf", "font");
    return {entry, image, home.tree.file("home/.config/Zettlr/config.json", 2000).parent_path(),
            home.tree.file("home/.local/share/Zettlr/snippets/a.md", 9000).parent_path().parent_path(),
            home.tree.file("home/.cache/Zettlr/Cache/x", 30000).parent_path().parent_path()};
}

fs::path homeFolder(const InstalledHome& home) {
    return home.tree.path() / "home";
}

// Tracks the settings, ~/.bashrc and a font beside the data in the repository at `gitFolder`, whose work tree is the home.
void track(const InstalledHome& home, const fs::path& gitFolder) {
    const std::vector<std::string> repository{"--git-dir=" + gitFolder.string(), "--work-tree=" + homeFolder(home).string()};
    auto git = [&](std::vector<std::string> words) {
        words.insert(words.begin(), repository.begin(), repository.end());
        TestGit::run(homeFolder(home), words);
    };
    git({"add", ".bashrc", ".config/Zettlr/config.json", ".local/share/fonts/Inter.ttf"});
    git({"commit", "-q", "-m", "dotfiles"});
}

void expectKept(InstalledHome& home, const char* name, const Zettlr& app, const fs::path& repository) {
    home.expect(name, "Zettlr", {{app.entry, true}, {app.image, true}, {app.cache, true}, {app.data, true}, {app.settings, false}},
                home.entryBytes() + allocated(app.image), UsedBy{});
    home.expected[name].keptIn = {{app.settings, repository}};
}

// The usual bare repository at the home's top, used through an alias with the home as work tree.
void bareRepository(InstalledHome& home) {
    const Zettlr app = zettlr(home);
    const fs::path dotfiles = homeFolder(home) / ".dotfiles";
    TestGit::run(homeFolder(home), {"init", "-q", "--bare", dotfiles.string()});
    TestGit::run(homeFolder(home), {"--git-dir=" + dotfiles.string(), "config", "status.showUntrackedFiles", "no"});
    track(home, dotfiles);
    expectKept(home, "BareDotfilesRepositoryKeepsItsSettings", app, dotfiles);
}

// The same in a repository whose config names how it hashes its objects: SHA-256, or SHA-1 said in
// so many words.
void repositoryOfFormat(InstalledHome& home, const char* name, const std::string& format) {
    const Zettlr app = zettlr(home);
    const fs::path dotfiles = homeFolder(home) / ".dots";
    TestGit::run(homeFolder(home), {"init", "-q", "--bare", "--object-format=" + format, dotfiles.string()});
    TestGit::run(homeFolder(home), {"--git-dir=" + dotfiles.string(), "config", "core.repositoryFormatVersion", "1"});
    TestGit::run(homeFolder(home), {"--git-dir=" + dotfiles.string(), "config", "extensions.objectFormat", format});
    track(home, dotfiles);
    expectKept(home, name, app, dotfiles);
}

void sha256Repository(InstalledHome& home) {
    repositoryOfFormat(home, "Sha256DotfilesRepositoryKeepsItsSettings", "sha256");
}

void sha1NamedRepository(InstalledHome& home) {
    repositoryOfFormat(home, "Sha1NamedDotfilesRepositoryKeepsItsSettings", "sha1");
}

// yadm's, with core.worktree set to the home.
void yadmRepository(InstalledHome& home) {
    const Zettlr app = zettlr(home);
    const fs::path repository = homeFolder(home) / ".local/share/yadm/repo.git";
    TestGit::run(homeFolder(home), {"init", "-q", "--bare", repository.string()});
    TestGit::run(homeFolder(home), {"--git-dir=" + repository.string(), "config", "core.bare", "false"});
    TestGit::run(homeFolder(home), {"--git-dir=" + repository.string(), "config", "core.worktree", homeFolder(home).string()});
    track(home, repository);
    expectKept(home, "YadmRepositoryKeepsItsSettings", app, repository);
}

// vcsh's, one repository per set of settings.
void vcshRepository(InstalledHome& home) {
    const Zettlr app = zettlr(home);
    const fs::path repository = home.tree.folder("home/.config/vcsh/repo.d") / "writing.git";
    TestGit::run(homeFolder(home), {"--git-dir=" + repository.string(), "init", "-q"});
    TestGit::run(homeFolder(home), {"--git-dir=" + repository.string(), "config", "core.worktree", homeFolder(home).string()});
    track(home, repository);
    expectKept(home, "VcshRepositoryKeepsItsSettings", app, repository);
}

// chezmoi's source, itself a repository, naming the settings with its attributes.
void chezmoiSource(InstalledHome& home) {
    const Zettlr app = zettlr(home);
    const fs::path source = homeFolder(home) / ".local/share/chezmoi";
    home.tree.write("home/.local/share/chezmoi/dot_config/private_Zettlr/config.json.tmpl", "{}");
    home.tree.write("home/.local/share/chezmoi/dot_bashrc", "alias ll='ls -l'\n");
    TestGit::run(source, {"init", "-q"});
    TestGit::run(source, {"add", "-A"});
    TestGit::run(source, {"commit", "-q", "-m", "source"});
    expectKept(home, "ChezmoiSourceKeepsItsSettings", app, source);
}

// A home that is itself a repository's work tree.
void homeRepository(InstalledHome& home) {
    const Zettlr app = zettlr(home);
    home.tree.write("home/.gitignore", "*\n!*/\n!.bashrc\n!.config/Zettlr/config.json\n!.local/share/fonts/*\n");
    TestGit::run(homeFolder(home), {"init", "-q"});
    track(home, homeFolder(home) / ".git");
    expectKept(home, "HomesOwnRepositoryKeepsItsSettings", app, homeFolder(home) / ".git");
}

// A bare repository whose work tree is another folder keeps nothing of the home.
void repositoryOfAnotherFolder(InstalledHome& home) {
    const Zettlr app = zettlr(home);
    const fs::path elsewhere = home.tree.folder("srv/site");
    home.tree.write("srv/site/.config/Zettlr/config.json", "{}");
    const fs::path repository = homeFolder(home) / "site.git";
    TestGit::run(homeFolder(home), {"init", "-q", "--bare", repository.string()});
    TestGit::run(homeFolder(home), {"--git-dir=" + repository.string(), "config", "core.bare", "false"});
    TestGit::run(homeFolder(home), {"--git-dir=" + repository.string(), "config", "core.worktree", elsewhere.string()});
    TestGit::run(elsewhere, {"--git-dir=" + repository.string(), "add", ".config/Zettlr/config.json"});
    home.expect("RepositoryOfAnotherFolderKeepsNothingHere", "Zettlr",
                {{app.entry, true}, {app.image, true}, {app.cache, true}, {app.data, true}, {app.settings, true}}, home.entryBytes() + allocated(app.image),
                UsedBy{});
}

// An index that cannot be read: what the repository keeps cannot be told, so nothing is ticked but
// the application itself.
void unreadableIndex(InstalledHome& home) {
    const Zettlr app = zettlr(home);
    const fs::path dotfiles = homeFolder(home) / ".cfg";
    TestGit::run(homeFolder(home), {"init", "-q", "--bare", dotfiles.string()});
    track(home, dotfiles);
    std::string index = TempTree::read(dotfiles / "index");
    index[index.size() / 2] = char(index[index.size() / 2] ^ 1);
    std::ofstream(dotfiles / "index", std::ios::binary | std::ios::trunc) << index;
    home.expect("UnreadableDotfilesIndexTicksNoLeftover", "Zettlr",
                {{app.entry, true}, {app.image, true}, {app.cache, false}, {app.data, false}, {app.settings, false}}, home.entryBytes() + allocated(app.image),
                UsedBy{});
    home.expected["UnreadableDotfilesIndexTicksNoLeftover"].keptIn = {{app.cache, dotfiles}, {app.data, dotfiles}, {app.settings, dotfiles}};
}

constexpr FreshCase dotfilesCases[]{
    {"BareDotfilesRepositoryKeepsItsSettings", bareRepository},
    {"Sha256DotfilesRepositoryKeepsItsSettings", sha256Repository},
    {"Sha1NamedDotfilesRepositoryKeepsItsSettings", sha1NamedRepository},
    {"YadmRepositoryKeepsItsSettings", yadmRepository},
    {"VcshRepositoryKeepsItsSettings", vcshRepository},
    {"ChezmoiSourceKeepsItsSettings", chezmoiSource},
    {"HomesOwnRepositoryKeepsItsSettings", homeRepository},
    {"RepositoryOfAnotherFolderKeepsNothingHere", repositoryOfAnotherFolder},
    {"UnreadableDotfilesIndexTicksNoLeftover", unreadableIndex},
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Dotfiles, FreshHomeFate, ::testing::ValuesIn(dotfilesCases), [](const auto& row) { return std::string(row.param.name); });

// Only a repository whose list could not be read says it may keep an item.
TEST(Dotfiles, AnUnreadListSaysItMayKeepIt) {
    for (const auto& [layout, unread] : {std::pair{&bareRepository, false}, std::pair{&unreadableIndex, true}}) {
        InstalledHome home(layout);
        for (const AppArtifact& artifact : home.listed("en", "Zettlr").artifacts)
            EXPECT_EQ(artifact.dotfilesUnread, unread && !artifact.keptInDotfiles.empty()) << artifact.path;
    }
}

// What the listing ticks goes, and the dotfiles repository still has every file it keeps.
TEST(Dotfiles, WhatGoesLeavesTheRepositoryWhole) {
    InstalledHome home(&bareRepository);
    const fs::path dotfiles = homeFolder(home) / ".dotfiles";
    EXPECT_EQ(home.service.moveToTrash(home.listed("en", "Zettlr").artifacts).size(), 4u);
    EXPECT_FALSE(fs::exists(home.home(".local/share/Zettlr")));
    EXPECT_EQ(TestGit::run(homeFolder(home), {"--git-dir=" + dotfiles.string(), "--work-tree=" + homeFolder(home).string(), "status", "--porcelain"}), "");
}
