#include "Services/InstalledHome.h"

#include <array>

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace InstalledFiles;

// Leftovers another install of the same name uses, and packaged namesakes.
void InstalledHome::plantNamesakes() {
    const std::int64_t file = entryBytes_;
    // Names: the desktop's own folders are never offered; a name that matches only without case
    // yields to the exact one beside it; another install's data stays.
    const auto [sessionEntry, session] = anAppImage("session-desktop", "Session", "Session-1.11.5-x86_64.AppImage");
    tree.file("home/.config/session/kwin_saved", 2000);
    const fs::path sessionData = tree.file("home/.config/Session/db.sqlite", 9000).parent_path();
    expect("SessionLeavesPlasmasSessionStore", "session-desktop", {{sessionEntry, true}, {session, true}, {sessionData, true}}, file + allocated(session));
    const auto [tabbyEntry, tabby] = anAppImage("org.tabby.Tabby", "Tabby", "Tabby-1.0.AppImage");
    const fs::path tabbyData = tree.file("home/.config/Tabby/config.yaml", 9000).parent_path();
    const fs::path tabbyLower = tree.file("home/.config/tabby/old.yaml", 1000).parent_path();
    expect("LowerCaseNameBesideTheExactOneIsNotTicked", "org.tabby.Tabby", {{tabbyEntry, true}, {tabby, true}, {tabbyData, true}, {tabbyLower, false}},
           file + allocated(tabby));
    const auto [quireEntry, quire] = anAppImage("quire-desktop", "Quire", "Quire-3.1.AppImage");
    link(executable(tree.file("home/.npm-global/lib/node_modules/quire/main.js", 2000)), ".local/bin/quire");
    const fs::path quireOwn = tree.file("home/.config/quire-desktop/state", 9000).parent_path();
    const fs::path quireCli = tree.file("home/.config/quire/notes.db", 3000).parent_path();
    expect("TerminalNamesakesNotesStay", "quire-desktop", {{quireEntry, true}, {quire, true}, {quireOwn, true}, {quireCli, false}}, file + allocated(quire));
    const auto [inkscapeEntry, inkscape] = anAppImage("org.inkscape.Inkscape", "Inkscape", "Inkscape-1.3.AppImage");
    const fs::path inkscapeFlatpak = home(".var/app/org.inkscape.Inkscape");
    tree.file("home/.var/app/org.inkscape.Inkscape/config/prefs.xml", 30000);
    expect("FlatpaksDataStaysBesideAnAppImage", "org.inkscape.Inkscape", {{inkscapeEntry, true}, {inkscape, true}, {inkscapeFlatpak, false}}, file + allocated(inkscape));
    const auto [nvimEntry, nvim] = anAppImage("nvim", "Neovim", "nvim.appimage");
    link(executable(compiled(tree, "home/linuxbrew/.linuxbrew/Cellar/neovim/0.10/bin/nvim", 9000)), "linuxbrew/.linuxbrew/bin/nvim");
    const fs::path nvimConfig = tree.file("home/.config/nvim/init.lua", 1000).parent_path();
    expect("NeovimLeavesHomebrewNvimsSettings", "nvim", {{nvimEntry, true}, {nvim, true}, {nvimConfig, false}}, file + allocated(nvim));
    const auto [gimpEntry, gimp] = anAppImage("gimp", "GIMP", "GIMP-2.10.38-x86_64.AppImage", "~/Applications/GIMP-2.10.38-x86_64.AppImage %U");
    userEntry("box-gimp", "GIMP (on box)", "Exec=distrobox-enter -n box -- gimp-2.10 %U\nNoDisplay=true\n");
    const fs::path gimpData = tree.file("home/.config/GIMP/2.10/gimprc", 2000).parent_path().parent_path();
    expect("GimpLeavesWhatItsDistroboxExportUses", "gimp", {{gimpEntry, true}, {gimp, true}, {gimpData, false}}, file + allocated(gimp));

    // A packaged application is its program's package, past the alternatives' links.
    const fs::path vimEntry = entry("usr/share/applications/vim.desktop", "Vim", "Exec=vim %F\n");
    const fs::path vimBasic = compiled(tree, "usr/bin/vim.basic", 90000);
    compiled(tree, "usr/bin/xxd", 20000);
    fs::create_directories(tree.path() / "etc/alternatives");
    fs::create_symlink("../../usr/bin/vim.basic", tree.path() / "etc/alternatives/vim");
    fs::create_symlink("../../etc/alternatives/vim", tree.path() / "usr/bin/vim");
    tree.write("var/lib/dpkg/info/vim-common.list", "/usr/share/applications/vim.desktop\n/usr/bin/xxd\n");
    tree.write("var/lib/dpkg/info/vim.list", "/usr/bin/vim.basic\n");
    // A program moved aside by dpkg-divert is its package's under the name its list gives it.
    const fs::path sxivEntry = entry("usr/share/applications/sxiv.desktop", "Sxiv", "Exec=sxiv\n");
    const fs::path sxivReal = compiled(tree, "usr/bin/sxiv.real", 50000);
    fs::create_symlink("sxiv.real", tree.path() / "usr/bin/sxiv");
    tree.write("var/lib/dpkg/diversions", "/usr/bin/sxiv\n/usr/bin/sxiv.real\n:\n");
    tree.write("var/lib/dpkg/info/sxiv-common.list", "/usr/share/applications/sxiv.desktop\n");
    tree.write("var/lib/dpkg/info/sxiv.list", "/usr/bin/sxiv\n");
    expect("DivertedProgramIsItsPackages", "sxiv", {{sxivEntry, false}}, allocated(sxivReal));
    expect("VimIsItsProgramsPackage", "vim", {{vimEntry, false}, {nvimConfig, false}}, allocated(vimBasic));

    // Links to a program that goes go with it; a program whose folder was deleted is not found.
    const auto [quillEntry, quill] = anAppImage("quill", "Quill", "Quill-5.0-x86_64.AppImage");
    expect("LinksToAProgramThatGoesGoWithIt", "quill",
           {{quillEntry, true}, {quill, true}, {link(quill, ".local/bin/quill"), true}, {link(quill, "bin/quill"), true}, {link(quill, "Desktop/Quill"), true}},
           file + allocated(quill));
    const fs::path lostEntry = userEntry("lost", "Lost", "Exec=~/Apps-deleted/lost/lost\n");
    expect("ProgramWhoseFolderWasDeletedLeavesTheLauncher", "lost", {{lostEntry, true}, {tree.file("home/.config/Lost/state", 1000).parent_path(), false}}, file);
}

namespace {

constexpr std::array namesakeCases{
    "SessionLeavesPlasmasSessionStore", "LowerCaseNameBesideTheExactOneIsNotTicked", "TerminalNamesakesNotesStay",
    "FlatpaksDataStaysBesideAnAppImage", "NeovimLeavesHomebrewNvimsSettings", "GimpLeavesWhatItsDistroboxExportUses",
    "DivertedProgramIsItsPackages", "VimIsItsProgramsPackage", "LinksToAProgramThatGoesGoWithIt",
    "ProgramWhoseFolderWasDeletedLeavesTheLauncher",
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Namesakes, ApplicationFate, ::testing::ValuesIn(namesakeCases), [](const auto& row) { return std::string(row.param); });
