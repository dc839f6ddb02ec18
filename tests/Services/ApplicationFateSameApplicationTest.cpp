#include "Services/InstalledHome.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace InstalledFiles;

// The same application installed another way keeps its data, whatever it is called there; an
// install in a folder of its own is offered whole; the user's own work is never ticked.
namespace {

// A container's export, as distrobox-export writes it: the container's home is the user's.
fs::path distroboxExport(InstalledHome& home, const std::string& box, const std::string& id, const std::string& name, const std::string& program,
                         const std::string& icon = "") {
    home.tree.file("usr/bin/distrobox-enter", 4000);
    return home.userEntry(box + "-" + id, name + " (on " + box + ")",
                          "Exec=/usr/bin/distrobox-enter  -n " + box + "  --  " + program + " %F\n" + (icon.empty() ? "" : "Icon=" + icon + "\n"));
}

void codiumBesideItsDistroboxExport(InstalledHome& home) {
    const auto [entry, image] = home.anAppImage("codium", "VSCodium", "VSCodium-1.90.0.24158.glibc2.17-x86_64.AppImage");
    const fs::path exported = distroboxExport(home, "arch", "codium", "VSCodium", "/usr/share/codium/codium --no-sandbox");
    const fs::path data = home.tree.file("home/.config/VSCodium/User/settings.json", 3000).parent_path().parent_path();
    home.expect("CodiumLeavesWhatItsDistroboxExportUses", "codium", {{entry, true}, {image, true}, {data, false}}, home.entryBytes() + allocated(image),
                UsedBy{{data, exported}});
}

void bitwardenBesideItsDistroboxExport(InstalledHome& home) {
    const auto [entry, image] = home.anAppImage("bitwarden", "Bitwarden", "Bitwarden-2024.6.2-x86_64.AppImage");
    const fs::path exported = distroboxExport(home, "arch", "bitwarden", "Bitwarden Password Manager", "bitwarden-desktop");
    const fs::path data = home.tree.file("home/.config/Bitwarden/data.json", 7000).parent_path();
    home.expect("BitwardenLeavesWhatItsDistroboxExportUses", "bitwarden", {{entry, true}, {image, true}, {data, false}},
                home.entryBytes() + allocated(image), UsedBy{{data, exported}});
}

// An export known here by its icon's name alone.
void signalBesideItsDistroboxExport(InstalledHome& home) {
    const auto [entry, image] = home.anAppImage("signal-desktop", "Signal", "Signal-7.10.0-x86_64.AppImage");
    const fs::path exported = distroboxExport(home, "arch", "org.signal.Signal", "Signal Private Messenger", "/opt/Signal/signal-app", "signal-desktop");
    const fs::path data = home.tree.file("home/.config/signal-desktop/config.json", 7000).parent_path();
    home.expect("SignalLeavesWhatItsDistroboxExportUses", "signal-desktop", {{entry, true}, {image, true}, {data, false}}, home.entryBytes() + allocated(image),
                UsedBy{{data, exported}});
}

// A Toolbx export labelled with its container, running the program by its reverse-domain name.
void foliateBesideItsToolbxExport(InstalledHome& home) {
    home.tree.file("usr/bin/toolbox", 4000);
    const auto [entry, image] = home.anAppImage("foliate", "Foliate", "Foliate-4.1.1-x86_64.AppImage");
    const fs::path exported = home.userEntry("fedora-com.github.johnfactotum.Foliate", "Foliate (fedora)",
                                             "Exec=toolbox run -c fedora com.github.johnfactotum.Foliate %U\n");
    const fs::path data = home.tree.file("home/.local/share/foliate/books.json", 5000).parent_path();
    home.expect("FoliateLeavesWhatItsToolbxExportUses", "foliate", {{entry, true}, {image, true}, {data, false}}, home.entryBytes() + allocated(image),
                UsedBy{{data, exported}});
}

// Another application exported from a container claims nothing of this one's.
void zettlrBesideAnotherExport(InstalledHome& home) {
    const auto [entry, image] = home.anAppImage("Zettlr", "Zettlr", "Zettlr-3.0.5-x86_64.AppImage");
    distroboxExport(home, "arch", "gimp", "GIMP", "gimp");
    const fs::path data = home.tree.file("home/.config/Zettlr/config.json", 2000).parent_path();
    home.expect("AnotherApplicationsExportClaimsNothing", "Zettlr", {{entry, true}, {image, true}, {data, true}}, home.entryBytes() + allocated(image),
                UsedBy{});
}

// Debian's ImageMagick goes by its package's name once its version and flavour are set aside.
void imageMagickBesideItsPackage(InstalledHome& home) {
    const auto [entry, image] = home.anAppImage("imagemagick", "ImageMagick", "ImageMagick-7.1.1-x86_64.AppImage");
    compiled(home.tree, "usr/bin/convert-im6.q16", 9000);
    home.entry("usr/share/applications/display-im6.q16.desktop", "ImageMagick (color depth=q16)", "Exec=display-im6.q16 %F\n");
    compiled(home.tree, "usr/bin/display-im6.q16", 9000);
    home.tree.write("var/lib/dpkg/info/imagemagick-6.q16.list",
                    "/.\n/usr\n/usr/bin\n/usr/bin/convert-im6.q16\n/usr/bin/display-im6.q16\n/usr/share/applications/display-im6.q16.desktop\n");
    const fs::path fonts = home.tree.file("home/.config/ImageMagick/type.xml", 2000).parent_path();
    home.expect("ImageMagickLeavesItsPackagesFonts", "imagemagick", {{entry, true}, {image, true}, {fonts, false}}, home.entryBytes() + allocated(image),
                UsedBy{{fonts, "imagemagick-6.q16"}});
}

// A package whose name only begins like the application's is another program.
void joplinBesideItsCommandLinePackage(InstalledHome& home) {
    const auto [entry, image] = home.anAppImage("joplin", "Joplin", "Joplin-2.14.20.AppImage");
    compiled(home.tree, "usr/bin/joplin-cli", 9000);
    home.tree.write("var/lib/dpkg/info/joplin-cli.list", "/usr/bin/joplin-cli\n");
    const fs::path data = home.tree.file("home/.config/Joplin/settings.json", 2000).parent_path();
    home.expect("PackageOnlyBeginningLikeItClaimsNothing", "joplin", {{entry, true}, {image, true}, {data, true}}, home.entryBytes() + allocated(image),
                UsedBy{});
}

// The user's own work: settings kept in a repository of their own commits, and settings linked from a
// dotfiles repository.
void neovimWithItsSettingsInARepository(InstalledHome& home) {
    const auto [entry, image] = home.anAppImage("nvim", "Neovim", "nvim.appimage");
    const fs::path config = home.tree.file("home/.config/nvim/init.lua", 1000).parent_path();
    home.tree.file("home/.config/nvim/.git/objects/ab/cdef", 3000);
    const fs::path state = home.tree.file("home/.local/state/nvim/shada/main.shada", 40000).parent_path().parent_path();
    const fs::path data = home.tree.file("home/.local/share/nvim/site/x", 90000).parent_path().parent_path();
    home.expect("RepositoryOfTheUsersSettingsIsNotTicked", "nvim", {{entry, true}, {image, true}, {data, true}, {state, true}, {config, false}},
                home.entryBytes() + allocated(image), UsedBy{});
}

void neovimWithItsSettingsLinkedFromDotfiles(InstalledHome& home) {
    const auto [entry, image] = home.anAppImage("nvim", "Neovim", "nvim.appimage");
    home.tree.file("home/dotfiles/.git/HEAD", 100);
    const fs::path config = home.link(home.tree.file("home/dotfiles/nvim/init.lua", 1000).parent_path(), ".config/nvim");
    home.expect("SettingsLinkedFromDotfilesAreNotTicked", "nvim", {{entry, true}, {image, true}, {config, false}}, home.entryBytes() + allocated(image),
                UsedBy{});
}

// Settings kept in a home whose ~/.config is a repository, and settings whose files stow linked one
// by one from a dotfiles repository.
void zettlrInARepositoryOfSettings(InstalledHome& home) {
    const auto [entry, image] = home.anAppImage("Zettlr", "Zettlr", "Zettlr-3.0.5-x86_64.AppImage");
    home.tree.file("home/.config/.git/HEAD", 100);
    const fs::path data = home.tree.file("home/.config/Zettlr/config.json", 2000).parent_path();
    home.tree.file("home/dotfiles/.git/HEAD", 100);
    const fs::path stowed = home.tree.folder("home/.local/share/Zettlr");
    home.link(home.tree.file("home/dotfiles/zettlr/.local/share/Zettlr/snippets.json", 1000), ".local/share/Zettlr/snippets.json");
    home.expect("LeftoversInOrLinkedFromARepositoryAreNotTicked", "Zettlr", {{entry, true}, {image, true}, {stowed, false}, {data, false}},
                home.entryBytes() + allocated(image), UsedBy{});
}

// What an application keeps in ~/.local/state (history, logs) is looked at by its names too.
void helixWithItsState(InstalledHome& home) {
    const auto [entry, image] = home.anAppImage("com.helix_editor.Helix", "Helix", "helix-24.07-x86_64.AppImage");
    const fs::path log = home.tree.file("home/.cache/helix/helix.log", 30000).parent_path();
    const fs::path state = home.tree.file("home/.local/state/helix/history", 9000).parent_path();
    home.expect("StateFolderIsLookedAt", "com.helix_editor.Helix", {{entry, true}, {image, true}, {log, true}, {state, true}}, home.entryBytes() + allocated(image),
                UsedBy{});
}

// Zed as its installer lays it out: the whole NAME.app, with the link to its command, is its program;
// its own command uses nothing of another's.
void zedInItsOwnFolder(InstalledHome& home) {
    const fs::path app = home.home(".local/zed.app");
    executable(compiled(home.tree, "home/.local/zed.app/bin/zed", 90000));
    executable(compiled(home.tree, "home/.local/zed.app/libexec/zed-editor", 400000));
    executable(library(home.tree, "home/.local/zed.app/lib/libxkbcommon.so.0", 60000));
    home.tree.file("home/.local/zed.app/share/icons/hicolor/512x512/apps/zed.png", 20000);
    const fs::path command = home.link(app / "bin/zed", ".local/bin/zed");
    const fs::path entry = home.userEntry("dev.zed.Zed", "Zed", "Exec=/home/.local/zed.app/libexec/zed-editor %U\n");
    const fs::path settings = home.tree.file("home/.config/zed/settings.json", 2000).parent_path();
    home.expect("ZedsFolderIsItsProgram", "dev.zed.Zed", {{entry, false}, {app, false}, {command, false}, {settings, false}}, home.entryBytes() + du(app),
                UsedBy{});
}

// A program deeper in a NAME.app folder, and one in a libexec/ beside bin/ and lib/: the whole
// folder is the install either way.
void neovideDeepInItsAppFolder(InstalledHome& home) {
    const fs::path app = home.home(".local/neovide.app");
    executable(compiled(home.tree, "home/.local/neovide.app/usr/bin/neovide", 90000));
    library(home.tree, "home/.local/neovide.app/usr/lib/libSDL2.so", 60000);
    const fs::path entry = home.userEntry("neovide", "Neovide", "Exec=~/.local/neovide.app/usr/bin/neovide\n");
    home.expect("ProgramDeepInANameAppFolderIsThatFolders", "neovide", {{entry, false}, {app, false}}, home.entryBytes() + du(app), UsedBy{});
}

// Helix with its program in libexec/ beside bin/, and `beside` (under lib/, or only under share/).
void helix(InstalledHome& home, const char* name, const std::string& beside) {
    const fs::path install = home.home("opt/helix");
    executable(compiled(home.tree, "home/opt/helix/libexec/helix-term", 90000));
    executable(compiled(home.tree, "home/opt/helix/bin/hx", 9000));
    home.tree.file("home/opt/helix/" + beside, 6000);
    const fs::path entry = home.userEntry("Helix", "Helix", "Exec=~/opt/helix/libexec/helix-term %F\n");
    home.expect(name, "Helix", {{entry, false}, {install, false}}, home.entryBytes() + du(install), UsedBy{});
}

void helixBesideItsLibraries(InstalledHome& home) {
    helix(home, "ProgramInLibexecBesideBinAndLibIsItsFolders", "lib/runtime/grammars/rust.so");
}

// With no lib/ beside them, the folder is the install all the same.
void helixBesideItsCommandsOnly(InstalledHome& home) {
    helix(home, "ProgramInLibexecBesideBinAloneIsItsFolders", "share/runtime/queries/rust.scm");
}

// A shared library beside the program, executable as linkers leave them, is no other program.
void gzdoomBesideItsLibrary(InstalledHome& home) {
    const fs::path folder = home.home("apps/zdoom-4.12");
    executable(compiled(home.tree, "home/apps/zdoom-4.12/gzdoom", 90000));
    executable(library(home.tree, "home/apps/zdoom-4.12/libfmod.so.13", 40000));
    const fs::path entry = home.userEntry("gzdoom", "GZDoom", "Exec=~/apps/zdoom-4.12/gzdoom\n");
    home.expect("SharedLibraryBesideTheProgramIsNoOtherProgram", "gzdoom", {{entry, false}, {folder, false}}, home.entryBytes() + du(folder), UsedBy{});
}

// kitty as its installer lays it out, with its hidden second entry: one install.
void kittyInItsOwnFolder(InstalledHome& home) {
    const fs::path app = home.home(".local/kitty.app");
    executable(compiled(home.tree, "home/.local/kitty.app/bin/kitty", 90000));
    executable(compiled(home.tree, "home/.local/kitty.app/bin/kitten", 60000));
    home.tree.file("home/.local/kitty.app/lib/kitty/fast_data_types.so", 300000);
    const fs::path command = home.link(app / "bin/kitty", ".local/bin/kitty");
    const fs::path entry = home.userEntry("kitty", "kitty", "Exec=/home/.local/kitty.app/bin/kitty\n");
    const fs::path opener = home.userEntry("kitty-open", "kitty URL Launcher", "Exec=/home/.local/kitty.app/bin/kitty +open %U\nNoDisplay=true\n");
    const fs::path settings = home.tree.file("home/.config/kitty/kitty.conf", 2000).parent_path();
    home.expect("KittysFolderIsItsProgram", "kitty", {{entry, false}, {app, false}, {opener, false}, {command, false}, {settings, false}},
                home.entryBytes() + du(app), UsedBy{});
}

// An AppImage a helper keeps in a folder of its own, started through its link.
void obsidianKeptByAHelper(InstalledHome& home) {
    const fs::path folder = home.home("Applications/obsidian");
    executable(appImage(home.tree, "home/Applications/obsidian/obsidian", 90000));
    executable(home.tree.write("home/Applications/obsidian/remove", "#!/bin/sh\nrm -rf ~/Applications/obsidian\n"));
    home.tree.write("home/Applications/obsidian/version", "1.6.7\n");
    const fs::path command = home.link(folder / "obsidian", ".local/bin/obsidian");
    const fs::path entry = home.userEntry("obsidian-AM", "Obsidian", "Exec=obsidian %U\n");
    const fs::path data = home.tree.file("home/.config/obsidian/obsidian.json", 2000).parent_path();
    home.expect("HelpersFolderIsTheAppImagesProgram", "obsidian-AM", {{entry, false}, {folder, false}, {command, false}, {data, false}},
                home.entryBytes() + du(folder), UsedBy{});
}

// An AppImage named with its architecture and no version goes by its name.
void obsidianWithItsArchitecture(InstalledHome& home) {
    const auto [entry, image] = home.anAppImage("md.obsidian.Obsidian", "Obsidian", "Obsidian-x86_64.AppImage");
    const fs::path data = home.tree.file("home/.config/obsidian/obsidian.json", 2000).parent_path();
    home.expect("AppImageNamedWithItsArchitectureGoes", "md.obsidian.Obsidian", {{entry, true}, {image, true}, {data, true}},
                home.entryBytes() + allocated(image), UsedBy{});
}

// Named with its platform and architecture before its version, as Logseq's are.
void logseqWithItsPlatform(InstalledHome& home) {
    const auto [entry, image] = home.anAppImage("logseq", "Logseq", "Logseq-linux-x64-0.10.9.AppImage");
    const fs::path data = home.tree.file("home/.config/Logseq/configs.edn", 2000).parent_path();
    home.expect("AppImageNamedWithItsPlatformBeforeItsVersionGoes", "logseq", {{entry, true}, {image, true}, {data, true}}, home.entryBytes() + allocated(image),
                UsedBy{});
}

// A browser's plain application window, with no profile of its own, is a web app: only its launcher.
void plainAppWindow(InstalledHome& home) {
    compiled(home.tree, "usr/bin/chromium", 90000);
    const fs::path entry = home.userEntry("chrome-mail", "Mail", "Exec=chromium --app=https://mail.example.com\n");
    home.expect("PlainAppWindowIsALauncherOnly", "chrome-mail", {{entry, true}}, home.entryBytes(), UsedBy{});
}

constexpr FreshCase sameApplicationCases[]{
    {"CodiumLeavesWhatItsDistroboxExportUses", codiumBesideItsDistroboxExport},
    {"BitwardenLeavesWhatItsDistroboxExportUses", bitwardenBesideItsDistroboxExport},
    {"SignalLeavesWhatItsDistroboxExportUses", signalBesideItsDistroboxExport},
    {"FoliateLeavesWhatItsToolbxExportUses", foliateBesideItsToolbxExport},
    {"AnotherApplicationsExportClaimsNothing", zettlrBesideAnotherExport},
    {"ImageMagickLeavesItsPackagesFonts", imageMagickBesideItsPackage},
    {"PackageOnlyBeginningLikeItClaimsNothing", joplinBesideItsCommandLinePackage},
    {"RepositoryOfTheUsersSettingsIsNotTicked", neovimWithItsSettingsInARepository},
    {"SettingsLinkedFromDotfilesAreNotTicked", neovimWithItsSettingsLinkedFromDotfiles},
    {"LeftoversInOrLinkedFromARepositoryAreNotTicked", zettlrInARepositoryOfSettings},
    {"StateFolderIsLookedAt", helixWithItsState},
    {"ZedsFolderIsItsProgram", zedInItsOwnFolder},
    {"ProgramDeepInANameAppFolderIsThatFolders", neovideDeepInItsAppFolder},
    {"ProgramInLibexecBesideBinAndLibIsItsFolders", helixBesideItsLibraries},
    {"ProgramInLibexecBesideBinAloneIsItsFolders", helixBesideItsCommandsOnly},
    {"SharedLibraryBesideTheProgramIsNoOtherProgram", gzdoomBesideItsLibrary},
    {"KittysFolderIsItsProgram", kittyInItsOwnFolder},
    {"HelpersFolderIsTheAppImagesProgram", obsidianKeptByAHelper},
    {"AppImageNamedWithItsArchitectureGoes", obsidianWithItsArchitecture},
    {"AppImageNamedWithItsPlatformBeforeItsVersionGoes", logseqWithItsPlatform},
    {"PlainAppWindowIsALauncherOnly", plainAppWindow},
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(SameApplication, FreshHomeFate, ::testing::ValuesIn(sameApplicationCases), [](const auto& row) { return std::string(row.param.name); });

// A leftover that is the user's own work says which whole it is or leads into.
TEST(UsersOwnWork, SaysWhichWholeItIsOrLeadsInto) {
    for (const auto& [layout, linked] : {std::pair{&neovimWithItsSettingsInARepository, false}, std::pair{&neovimWithItsSettingsLinkedFromDotfiles, true}}) {
        InstalledHome home(layout);
        const auto& artifacts = home.listed("en", "nvim").artifacts;
        ASSERT_FALSE(artifacts.empty());
        const AppArtifact& config = artifacts.back();
        EXPECT_EQ(config.path, home.home(".config/nvim"));
        EXPECT_EQ(config.whole, WholeKind::repository);
        EXPECT_EQ(config.leadsIntoWhole, linked);
        for (const AppArtifact& other : artifacts) {
            if (other.path != config.path) {
                EXPECT_FALSE(other.whole) << other.path;
            }
        }
    }
}
