#include "Platform/LinuxLocations.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

TEST(LinuxLocations, MapsTheCleanupAndDeveloperFolders) {
    SystemRoots roots = SystemRoots::fixture("/f");
    roots.downloads = "/f/home/Téléchargements";
    using Folders = std::vector<fs::path>;
    EXPECT_EQ(LinuxLocations::folders("Library/Caches", roots), Folders{"/f/home/.cache"});
    EXPECT_EQ(LinuxLocations::folders("Library/Caches/Homebrew", roots), Folders{"/f/home/.cache/Homebrew"});
    EXPECT_EQ(LinuxLocations::folders("Library/Caches/Yarn", roots), Folders{"/f/home/.cache/yarn"});
    EXPECT_EQ(LinuxLocations::folders("Library/Caches/Yarn/v6", roots), Folders{"/f/home/.cache/yarn/v6"});
    EXPECT_EQ(LinuxLocations::folders("Library/Application Support/App", roots), Folders{"/f/home/.local/share/App"});
    EXPECT_EQ(LinuxLocations::folders("Downloads", roots), Folders{"/f/home/Téléchargements"});
    EXPECT_EQ(LinuxLocations::folders(".npm/_cacache", roots), Folders{"/f/home/.npm/_cacache"});
    for (auto none : {"Library/Caches/com.docker.docker", "Library/Logs", "Library/Developer/Xcode/Archives", "Library/CachesX",
                      "Library/Whatever", "/Library/Unknown"})
        EXPECT_TRUE(LinuxLocations::folders(none, roots).empty()) << none;
}
