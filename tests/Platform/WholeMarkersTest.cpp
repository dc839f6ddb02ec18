#include "Platform/WholeMarkers.h"
#include "Platform/DirectoryReader.h"
#include "Support/TempTree.h"

#include <gtest/gtest.h>

#include <map>

namespace fs = std::filesystem;

namespace {

constexpr const char* cacheTag = "Signature: 8a477f597d28d172789f06886806bc55\n# This file is a cache directory tag.\n";

// Each layout as its tool leaves it at the top of the folder it marks; "/" ends a folder's name.
const std::map<std::string, std::pair<std::vector<std::string>, std::optional<WholeKind>>>& layouts() {
    static const std::map<std::string, std::pair<std::vector<std::string>, std::optional<WholeKind>>> all{
        {"clone", {{".git/HEAD", ".git/objects/", ".git/refs/", "README"}, WholeKind::repository}},
        {"worktree", {{".git", "README"}, WholeKind::repository}},
        {"bare.git", {{"HEAD", "config", "objects/", "refs/"}, WholeKind::repository}},
        {"hg", {{".hg/store/", "a.c"}, WholeKind::repository}},
        {"svn", {{".svn/wc.db", "a.c"}, WholeKind::repository}},
        {"bzr", {{".bzr/branch-format", "a.c"}, WholeKind::repository}},
        {"cvs", {{"CVS/Root", "CVS/Entries", "a.c"}, WholeKind::repository}},
        {"venv", {{"pyvenv.cfg", "bin/", "lib/"}, WholeKind::environment}},
        {"conda", {{"conda-meta/history", "lib/"}, WholeKind::environment}},
        {"gems", {{"gems/", "specifications/"}, WholeKind::environment}},
        {"target", {{"CACHEDIR.TAG", "debug/"}, WholeKind::buildOutput}},
        {"build", {{"CMakeCache.txt", "CMakeFiles/"}, WholeKind::buildOutput}},
        {"cargo", {{".crates.toml", "registry/"}, WholeKind::packageStore}},
        {"rustup", {{"settings.toml", "toolchains/"}, WholeKind::packageStore}},
        {"npm", {{"_cacache/index-v5/"}, WholeKind::packageStore}},
        {"mod", {{"cache/download/", "golang.org/"}, WholeKind::packageStore}},
        {"flatpak-repo", {{"config", "objects/", "refs/"}, WholeKind::packageStore}},
        {"prefix", {{"drive_c/windows/", "system.reg", "user.reg"}, WholeKind::gameLibrary}},
        {"syncthing", {{".stfolder/", "notes.txt"}, WholeKind::syncFolder}},
        {"dropbox", {{".dropbox", ".dropbox.cache/", "notes.txt"}, WholeKind::syncFolder}},
        {"nextcloud", {{".sync_4f2a9c1e.db", ".sync_4f2a9c1e.db-wal", "notes.txt"}, WholeKind::syncFolder}},
        {"owncloud", {{"._sync_4f2a9c1e.db", ".owncloudsync.log"}, WholeKind::syncFolder}},
        {"resilio", {{".sync/ID", ".sync/IgnoreList", ".sync/Archive/"}, WholeKind::syncFolder}},
        {"mega", {{".debris/"}, WholeKind::syncFolder}},
        // Not the tools' own layouts: names alone, or half a pair.
        {"loose", {{"notes.txt", "objects/", "config"}, std::nullopt}},
        {"half-prefix", {{"drive_c/"}, std::nullopt}},
        {"sync-without-id", {{".sync/notes"}, std::nullopt}},
        {"bad-tag", {{"CACHEDIR.TAG"}, std::nullopt}},
        {"cvs-without-root", {{"CVS/notes"}, std::nullopt}},
        {"cache-alone", {{"cache/pictures/"}, std::nullopt}},
        {"vendor", {{"autoload.php", "composer/"}, WholeKind::environment}},
        {"vendored", {{"autoload.php"}, std::nullopt}},
    };
    return all;
}

void make(const TempTree& tree, const std::string& folder, const std::vector<std::string>& entries) {
    tree.folder(folder);
    for (const std::string& entry : entries) {
        if (entry.ends_with('/')) tree.folder(folder + "/" + entry);
        else if (entry == "CACHEDIR.TAG") tree.write(folder + "/" + entry, folder == "bad-tag" ? "Signature: not a tag\n" : cacheTag);
        else if (entry == ".git") tree.write(folder + "/" + entry, "gitdir: /elsewhere/.git/worktrees/w\n");
        else tree.write(folder + "/" + entry, "x");
    }
}

}  // namespace

// Every tool's layout marks its folder with its kind of whole, read from the folder itself, and
// from a walk's entries filtered to the names that may mark; names alone and half pairs do not.
TEST(WholeMarkers, EachToolsLayoutMarksItsFolder) {
    TempTree tree;
    for (const auto& [folder, layout] : layouts()) make(tree, folder, layout.first);
    for (const auto& [folder, layout] : layouts()) {
        EXPECT_EQ(WholeMarkers::wholeMarkedAt(tree.path() / folder), layout.second) << folder;
        std::vector<DirectoryEntry> entries, kept;
        ASSERT_TRUE(DirectoryReader::read((tree.path() / folder).native(), entries));
        for (DirectoryEntry& entry : entries)
            if (WholeMarkers::mayMark(entry.name)) kept.push_back(std::move(entry));
        // With no folder to read, a marker that needs its content to confirm it counts.
        const bool confirmedByContent = folder == "bad-tag" || folder == "sync-without-id" || folder == "cvs-without-root" || folder == "cache-alone";
        EXPECT_EQ(WholeMarkers::wholeMarked(-1, folder, kept).has_value(), layout.second.has_value() || confirmedByContent) << folder;
    }
}

// Folders their tools name count by that name; a link named so is no folder of theirs.
TEST(WholeMarkers, FoldersNamedByTheirToolsAreWholes) {
    TempTree tree;
    for (const char* name : {"node_modules", "site-packages", "dist-packages", "steamapps", ".git", "__pypackages__"})
        EXPECT_TRUE(WholeMarkers::wholeMarkedAt(tree.folder(std::string("p/") + name))) << name;
    EXPECT_EQ(WholeMarkers::wholeMarkedAt(tree.path() / "p/steamapps"), WholeKind::gameLibrary);
    EXPECT_EQ(WholeMarkers::wholeMarkedAt(tree.path() / "p/node_modules/"), WholeKind::environment);
    fs::create_directory_symlink(tree.folder("elsewhere"), tree.path() / "q-node_modules");
    fs::create_directory_symlink(tree.path() / "elsewhere", tree.path() / "p/link");
    tree.folder("elsewhere/.git");
    EXPECT_FALSE(WholeMarkers::wholeMarkedAt(tree.path() / "p/link")) << "a link is not listed";
    EXPECT_FALSE(WholeMarkers::wholeMarkedAt(tree.path() / "missing"));
}
