#include "Services/InstalledHome.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace InstalledFiles;

// Another install of the same program, wherever the user keeps it, keeps the data named after it.
namespace {

// A Homebrew nvim whose folder only ~/.bashrc puts on the path: the menu's session never has it.
void neovimBesideHomebrew(InstalledHome& home) {
    const auto [entry, nvim] = home.anAppImage("nvim", "Neovim", "nvim.appimage");
    const fs::path brewed = home.link(executable(compiled(home.tree, "home/.linuxbrew/Cellar/neovim/0.10/bin/nvim", 9000)), ".linuxbrew/bin/nvim");
    const fs::path config = home.tree.file("home/.config/nvim/init.lua", 1000).parent_path();
    home.tree.folder("home/.config/nvim/.git/objects");
    const fs::path data = home.tree.file("home/.local/share/nvim/lazy/x", 30000).parent_path().parent_path();
    const fs::path cache = home.tree.file("home/.cache/nvim/luac/x", 60000).parent_path().parent_path();
    home.expect("NeovimLeavesHomebrewNvimOffThePath", "nvim", {{entry, true}, {nvim, true}, {cache, false}, {data, false}, {config, false}},
                home.entryBytes() + allocated(nvim), {{cache, brewed}, {data, brewed}, {config, brewed}});
}

void alacrittyBesideCargo(InstalledHome& home) {
    const auto [entry, image] = home.anAppImage("Alacritty", "Alacritty", "Alacritty-0.13.2-x86_64.AppImage");
    const fs::path cargo = executable(compiled(home.tree, "home/.cargo/bin/alacritty", 90000));
    const fs::path config = home.tree.file("home/.config/alacritty/alacritty.toml", 2000).parent_path();
    home.expect("AlacrittyLeavesCargosAlacritty", "Alacritty", {{entry, true}, {image, true}, {config, false}}, home.entryBytes() + allocated(image),
                {{config, cargo}});
}

// A newer copy beside the one its entry runs, in the same folder or in Downloads.
void obsidianTwice(InstalledHome& home, const std::string& newer, const char* name) {
    const auto [entry, image] = home.anAppImage("obsidian", "Obsidian", "Obsidian-1.4.16.AppImage");
    const fs::path second = executable(appImage(home.tree, newer, 60000));
    const fs::path data = home.tree.file("home/.config/obsidian/obsidian.json", 2000).parent_path();
    home.expect(name, "obsidian", {{entry, true}, {image, true}, {data, false}}, home.entryBytes() + allocated(image), {{data, second}});
}

void obsidianInApplications(InstalledHome& home) { obsidianTwice(home, "home/Applications/Obsidian-1.5.3.AppImage", "SecondObsidianKeepsItsData"); }
void obsidianInDownloads(InstalledHome& home) { obsidianTwice(home, "home/Downloads/Obsidian-1.5.3.AppImage", "SecondObsidianInDownloadsKeepsItsData"); }

void bitwardenBesideItsTarball(InstalledHome& home) {
    const auto [entry, image] = home.anAppImage("bitwarden", "Bitwarden", "Bitwarden-2024.6.2-x86_64.AppImage");
    const fs::path tarball = executable(compiled(home.tree, "home/opt/Bitwarden/bitwarden", 90000));
    home.tree.file("home/opt/Bitwarden/resources/app.asar", 9000);
    const fs::path data = home.tree.file("home/.config/Bitwarden/data.json", 7000).parent_path();
    home.expect("BitwardenLeavesItsTarballsData", "bitwarden", {{entry, true}, {image, true}, {data, false}}, home.entryBytes() + allocated(image),
                {{data, tarball}});
}

// Alone, an AppImage still goes with its settings: its own file is no other install.
void appImageAlone(InstalledHome& home) {
    const auto [entry, image] = home.anAppImage("Zettlr", "Zettlr", "Zettlr-3.0.5-x86_64.AppImage");
    home.link(image, ".local/bin/zettlr");
    const fs::path data = home.tree.file("home/.config/Zettlr/config.json", 2000).parent_path();
    home.expect("AppImageAloneGoesWithItsSettings", "Zettlr", {{entry, true}, {image, true}, {home.home(".local/bin/zettlr"), true}, {data, true}},
                home.entryBytes() + allocated(image));
}

// What the entry itself runs is its own, whatever runs it first: no other install.
void appImageThroughPrimeRun(InstalledHome& home) {
    home.tree.file("usr/bin/prime-run", 4000);
    const auto [entry, image] = home.anAppImage("blender", "Blender", "Blender-4.1.AppImage", "prime-run ~/Applications/Blender-4.1.AppImage %f");
    const fs::path config = home.tree.file("home/.config/blender/4.1/userpref.blend", 2000).parent_path().parent_path();
    home.expect("AppImageRunThroughPrimeRunIsNoOtherInstall", "blender", {{entry, false}, {config, false}}, home.entryBytes(), std::vector<std::pair<fs::path, fs::path>>{});
}

// Signal's Flatpak, whose name claims ~/.config/Signal too: the AppImage's row says which install.
void signalBesideItsFlatpak(InstalledHome& home) {
    const auto [entry, image] = home.anAppImage("signal-desktop", "Signal", "Signal-7.10.0-x86_64.AppImage");
    home.tree.file("var/lib/flatpak/app/org.signal.Signal/current/active/files/bin/signal-desktop", 500000);
    const fs::path flatpak = home.entry("var/lib/flatpak/exports/share/applications/org.signal.Signal.desktop", "Signal",
                                        "Exec=/usr/bin/flatpak run org.signal.Signal\nX-Flatpak=org.signal.Signal\n");
    const fs::path data = home.tree.file("home/.config/Signal/config.json", 2000).parent_path();
    home.expect("SignalsFlatpakNamesWhatItClaims", "signal-desktop", {{entry, true}, {image, true}, {data, false}}, home.entryBytes() + allocated(image),
                {{data, flatpak}});
}

constexpr FreshCase otherInstallCases[]{
    {"SignalsFlatpakNamesWhatItClaims", signalBesideItsFlatpak},
    {"NeovimLeavesHomebrewNvimOffThePath", neovimBesideHomebrew}, {"AlacrittyLeavesCargosAlacritty", alacrittyBesideCargo},
    {"SecondObsidianKeepsItsData", obsidianInApplications},        {"SecondObsidianInDownloadsKeepsItsData", obsidianInDownloads},
    {"BitwardenLeavesItsTarballsData", bitwardenBesideItsTarball}, {"AppImageAloneGoesWithItsSettings", appImageAlone},
    {"AppImageRunThroughPrimeRunIsNoOtherInstall", appImageThroughPrimeRun},
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(OtherInstalls, FreshHomeFate, ::testing::ValuesIn(otherInstallCases), [](const auto& row) { return std::string(row.param.name); });
