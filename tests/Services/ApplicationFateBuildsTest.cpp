#include "Services/InstalledHome.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace InstalledFiles;

// A weekly, nightly or master build beside an application's release is another install of it: what
// they share stays when the release goes.
namespace {

// FreeCAD's release and its weekly build as FreeCAD names them, each with its entry; both keep the
// user's settings and macros in ~/.config/FreeCAD and ~/.local/share/FreeCAD.
struct FreeCAD {
    fs::path entry, image, config, macros, cache;
};

FreeCAD freecadRelease(InstalledHome& home, const std::string& image = "FreeCAD_1.0.0-conda-Linux-x86_64-py311.AppImage") {
    const auto [entry, program] = home.anAppImage("org.freecad.FreeCAD", "FreeCAD", image);
    return {entry, program, home.tree.file("home/.config/FreeCAD/user.cfg", 9000).parent_path(),
            home.tree.file("home/.local/share/FreeCAD/Macro/gear.FCMacro", 30000).parent_path().parent_path(),
            home.tree.file("home/.cache/FreeCAD/Cache/toc", 60000).parent_path().parent_path()};
}

void freecadBesideItsWeeklyBuild(InstalledHome& home) {
    const FreeCAD release = freecadRelease(home);
    const fs::path weekly = home.anAppImage("freecad-weekly", "FreeCAD Weekly", "FreeCAD_weekly-builds-39811-2024-12-10-conda-Linux-x86_64-py311.AppImage").first;
    home.expect("WeeklyBuildKeepsWhatItShares", "org.freecad.FreeCAD",
                {{release.entry, true}, {release.image, true}, {release.cache, false}, {release.macros, false}, {release.config, false}},
                home.entryBytes() + allocated(release.image), UsedBy{{release.cache, weekly}, {release.macros, weekly}, {release.config, weekly}});
}

// Kdenlive's master build kept as an AppImage alone, with no entry of its own.
void kdenliveBesideItsMasterBuild(InstalledHome& home) {
    const auto [entry, image] = home.anAppImage("org.kde.kdenlive", "Kdenlive", "kdenlive-24.08.3-x86_64.AppImage");
    const fs::path master = executable(appImage(home.tree, "home/Applications/kdenlive-master-a5c9b3f-x86_64.AppImage", 60000));
    const fs::path presets = home.tree.file("home/.local/share/kdenlive/effects/warm.xml", 30000).parent_path().parent_path();
    const fs::path rc = home.tree.file("home/.config/kdenliverc", 3000);
    home.expect("MasterBuildWithoutAnEntryKeepsWhatItShares", "org.kde.kdenlive", {{entry, true}, {image, true}, {presets, false}, {rc, false}},
                home.entryBytes() + allocated(image), UsedBy{{presets, master}});
}

// A nightly build's entry claims its application's names, whatever its program is called.
void neovimBesideItsNightlyEntry(InstalledHome& home) {
    const auto [entry, image] = home.anAppImage("nvim", "Neovim", "nvim-linux-x86_64.appimage");
    executable(compiled(home.tree, "home/opt/neovim-head/bin/nvim-head", 9000));
    const fs::path nightly = home.userEntry("nvim-nightly", "Neovim Nightly", "Exec=/home/opt/neovim-head/bin/nvim-head\n");
    const fs::path config = home.tree.file("home/.config/nvim/init.lua", 2000).parent_path();
    home.expect("NightlyEntryKeepsWhatItShares", "nvim", {{entry, true}, {image, true}, {config, false}}, home.entryBytes() + allocated(image),
                UsedBy{{config, nightly}});
}

// Two releases of the same name: the other keeps the data, as any second copy does.
void freecadTwice(InstalledHome& home) {
    const FreeCAD release = freecadRelease(home, "FreeCAD_0.21.2-Linux-x86_64.AppImage");
    const fs::path newer = executable(appImage(home.tree, "home/Applications/FreeCAD_1.0.0-conda-Linux-x86_64-py311.AppImage", 60000));
    home.expect("SecondReleaseKeepsWhatItShares", "org.freecad.FreeCAD",
                {{release.entry, true}, {release.image, true}, {release.cache, false}, {release.macros, false}, {release.config, false}},
                home.entryBytes() + allocated(release.image), UsedBy{{release.cache, newer}, {release.macros, newer}, {release.config, newer}});
}

// Alone, a release goes with its settings; so it does beside programs whose names only begin like a
// build's: a word that holds a build word, or a build word followed by more than a version.
void freecadAlone(InstalledHome& home) {
    const FreeCAD release = freecadRelease(home);
    executable(appImage(home.tree, "home/Applications/FreeCAD-Devtools-3.0.AppImage", 9000));
    executable(appImage(home.tree, "home/Applications/FreeCAD-beta-exporter.AppImage", 9000));
    executable(compiled(home.tree, "home/.local/bin/freecad-mainline", 9000));
    home.expect("ReleaseAloneGoesWithItsSettings", "org.freecad.FreeCAD",
                {{release.entry, true}, {release.image, true}, {release.cache, true}, {release.macros, true}, {release.config, true}},
                home.entryBytes() + allocated(release.image), UsedBy{});
}

// The weekly build going never takes its release's data, which is not named after it.
void freecadWeeklyGoing(InstalledHome& home) {
    freecadRelease(home);
    const fs::path weekly = home.anAppImage("freecad-weekly", "FreeCAD Weekly", "FreeCAD_weekly-builds-39811-2024-12-10-conda-Linux-x86_64-py311.AppImage").first;
    home.expect("WeeklyBuildLeavesItsReleasesData", "freecad-weekly", {{weekly, false}}, home.entryBytes(), UsedBy{});
}

constexpr FreshCase buildsCases[]{
    {"WeeklyBuildKeepsWhatItShares", freecadBesideItsWeeklyBuild},
    {"MasterBuildWithoutAnEntryKeepsWhatItShares", kdenliveBesideItsMasterBuild},
    {"NightlyEntryKeepsWhatItShares", neovimBesideItsNightlyEntry},
    {"SecondReleaseKeepsWhatItShares", freecadTwice},
    {"ReleaseAloneGoesWithItsSettings", freecadAlone},
    {"WeeklyBuildLeavesItsReleasesData", freecadWeeklyGoing},
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(OtherBuilds, FreshHomeFate, ::testing::ValuesIn(buildsCases), [](const auto& row) { return std::string(row.param.name); });

// The row names the build by the name its entry gives it.
TEST(OtherBuilds, TheRowNamesTheBuildByItsName) {
    InstalledHome home(&freecadBesideItsWeeklyBuild);
    for (const char* language : {"en", "ar"})
        for (const AppArtifact& artifact : home.listed(language, "org.freecad.FreeCAD").artifacts)
            EXPECT_EQ(artifact.usedByName, artifact.usedBy.empty() ? QString() : QStringLiteral("FreeCAD Weekly")) << artifact.path;
    InstalledHome master(&kdenliveBesideItsMasterBuild);
    for (const AppArtifact& artifact : master.listed("en", "org.kde.kdenlive").artifacts) EXPECT_TRUE(artifact.usedByName.isEmpty()) << artifact.path;
}
