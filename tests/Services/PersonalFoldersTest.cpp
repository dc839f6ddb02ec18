#include "Platform/SystemRoots.h"
#include "Services/FileIntelligenceService.h"
#include "Services/UninstallerService.h"
#include "Support/FixtureRoots.h"
#include "Support/TempTree.h"

#include <cstdlib>
#include <map>
#include <optional>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

// Odd XDG variables must never put the user's own folders on a removal list.
namespace {

// Sets environment variables for one test and puts the old values back.
class ScopedEnvironment {
public:
    ~ScopedEnvironment() {
        for (const auto& [name, value] : saved_) {
            if (value) ::setenv(name.c_str(), value->c_str(), 1);
            else ::unsetenv(name.c_str());
        }
    }
    void set(const std::string& name, const std::string& value) {
        if (!saved_.contains(name)) {
            const char* old = std::getenv(name.c_str());
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        ::setenv(name.c_str(), value.c_str(), 1);
    }

private:
    std::map<std::string, std::optional<std::string>> saved_;
};

bool proposes(const std::vector<CleanupCandidate>& candidates, const fs::path& path) {
    for (const auto& candidate : candidates)
        if (candidate.path == path) return true;
    return false;
}

}  // namespace

TEST(PersonalFolders, BaseFoldersOnTheUsersOwnFoldersAreNotUsed) {
    TempTree tree;
    const fs::path home = tree.folder("home");
    // The desktop folder turned off by pointing it at the home folder, as some desktops do.
    tree.write("home/.config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/\"\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\nXDG_MUSIC_DIR=\"" +
                                                  (tree.path() / "media/Music").string() + "\"\n");
    ScopedEnvironment environment;
    environment.set("HOME", home.string());
    environment.set("XDG_CONFIG_HOME", (home / ".config").string());
    environment.set("XDG_CACHE_HOME", home.string() + "/");
    environment.set("XDG_DATA_HOME", home.string());
    environment.set("XDG_STATE_HOME", (home / "Dokumente/state").string());
    SystemRoots roots = SystemRoots::machine();
    EXPECT_EQ(roots.cacheHome, home / ".cache");
    EXPECT_EQ(roots.dataHome, home / ".local/share");
    EXPECT_EQ(roots.stateHome, home / ".local/state");
    EXPECT_TRUE(roots.holdsPersonalFolder(home / "Dokumente"));
    EXPECT_TRUE(roots.holdsPersonalFolder(tree.path() / "media"));
    EXPECT_TRUE(roots.holdsPersonalFolder(tree.path()));
    EXPECT_FALSE(roots.holdsPersonalFolder(home / "Documents/notes"));

    // Folders of their own are kept, even beside the user folders.
    environment.set("XDG_CACHE_HOME", (tree.path() / "media/cache").string());
    environment.set("XDG_DATA_HOME", (home / "data").string());
    roots = SystemRoots::machine();
    EXPECT_EQ(roots.cacheHome, tree.path() / "media/cache");
    EXPECT_EQ(roots.dataHome, home / "data");

    // The configuration folder itself: "/" would hold the home folder.
    environment.set("XDG_CONFIG_HOME", "/");
    EXPECT_EQ(SystemRoots::machine().configHome, home / ".config");
}

// Where a bad base folder got through anyway, the last guard still holds.
TEST(PersonalFolders, CleanupAndLeftoversNeverProposeTheHomeOrItsUserFolders) {
    TempTree tree;
    SystemRoots roots = SystemRoots::fixture(tree.path());
    roots.cacheHome = roots.home;
    roots.dataHome = roots.home;
    FixtureRoots restore(tree.path());
    SystemRoots::install(roots);
    tree.file("home/Documents/thesis.odt", 50000);
    tree.file("home/Downloads/setup.deb", 9000);
    tree.file("home/junk/blob", 3000);

    const auto candidates = FileIntelligenceService().cleanupCandidates();
    EXPECT_FALSE(proposes(candidates, roots.home / "Documents"));
    EXPECT_FALSE(proposes(candidates, roots.home / "Downloads"));
    EXPECT_TRUE(proposes(candidates, roots.home / "Downloads/setup.deb"));
    EXPECT_TRUE(proposes(candidates, roots.home / "junk"));

    const fs::path entry = tree.write("home/applications/Documents.desktop", "[Desktop Entry]\nType=Application\nName=Documents\nExec=run\n");
    const InstalledApplication documents{entry.string(), "Documents", "Documents", "\u2014", entry, 0, {}};
    for (const AppArtifact& artifact : UninstallerService().artifacts(documents)) EXPECT_NE(artifact.path, roots.home / "Documents");
}
