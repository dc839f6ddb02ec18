#include "Services/InstalledHome.h"

#include <array>

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace InstalledFiles;

void InstalledHome::plantNamedPlaces() {
    const std::int64_t file = entryBytes_;
    // What another entry names is that entry's: its working folder and the program it runs there,
    // a folder its shell changes into, a program "env -C" runs, what its actions and TryExec name;
    // autostart entries and launchers on the Desktop are entries too.
    tree.file("usr/bin/distrobox-enter", 4000);
    const auto [nimbusEntry, nimbus] = anAppImage("nimbus", "Nimbus", "Nimbus-3.0-x86_64.AppImage");
    executable(compiled(tree, "home/.local/share/nimbus/server/nimbus-server", 9000));
    userEntry("nimbus-console", "Nimbus Server Console", "Path=~/.local/share/nimbus/server\nExec=./nimbus-server --console\nNoDisplay=true\n");
    expect("WorkingFolderOfAnotherEntryIsNoLeftover", "nimbus", {{nimbusEntry, true}, {nimbus, true}, {home(".local/share/nimbus"), false}}, file + allocated(nimbus));
    const auto [picoEntry, pico] = anAppImage("pico", "Pico", "Pico-0.2.6.AppImage");
    executable(compiled(tree, "home/.local/share/pico/emu/picoemu", 9000));
    userEntry("pico-emu", "Pico emulator", "Exec=sh -c \"cd ~/.local/share/pico/emu && ./picoemu\"\nNoDisplay=true\n");
    expect("FolderAShellChangesIntoIsNoLeftover", "pico", {{picoEntry, true}, {pico, true}, {home(".local/share/pico"), false}}, file + allocated(pico));
    expect("AppImageThatEnvRunsInItsFolderStays", "wob", {{anAppImage("wob", "Wob", "Wob-1.0.AppImage").first, false}}, file);
    userEntry("wob-here", "Wob here", "Exec=env -C ~/Applications ./Wob-1.0.AppImage\nNoDisplay=true\n");
    expect("AppImageRunInItsWorkingFolderStays", "baz", {{anAppImage("baz", "Baz", "Baz-2.0-x86_64.AppImage").first, false}}, file);
    expect("SafeModeOfBazStays", "baz-safe-mode",
           {{userEntry("baz-safe-mode", "Baz (Safe Mode)", "Path=~/Applications\nExec=./Baz-2.0-x86_64.AppImage --safe-mode\n"), false}}, file);
    expect("AppImageAnAutostartEntryRunsStays", "syncer", {{anAppImage("syncer", "Syncer", "Syncer-1.4.AppImage").first, false}}, file);
    entry("home/.config/autostart/syncer-tray.desktop", "Syncer tray", "Exec=~/Applications/Syncer-1.4.AppImage --tray\n");
    expect("AppImageALauncherOnTheDesktopRunsStays", "drawl", {{anAppImage("drawl", "Drawl", "Drawl-2.2.AppImage").first, false}}, file);
    entry("home/Desktop/Drawl.desktop", "Drawl", "Exec=/home/Applications/Drawl-2.2.AppImage\n");
    expect("AppImageAnActionRunsStays", "mixer", {{anAppImage("mixer", "Mixer", "Mixer-0.9.AppImage").first, false}}, file);
    userEntry("studio", "Studio", "Exec=studio\nNoDisplay=true\nActions=new;mix;\n[Desktop Action mix]\nExec=~/Applications/Mixer-0.9.AppImage --studio\n");
    expect("AppImageATryExecNamesStays", "prism", {{anAppImage("prism", "Prism", "Prism-4.AppImage").first, false}}, file);
    userEntry("prism-viewer", "Prism Viewer", "TryExec=/home/Applications/Prism-4.AppImage\nExec=prism-view\nNoDisplay=true\n");
    executable(home("Applications/Prism-4.AppImage"));
    appImage(tree, "home/Portable/a=b/Tally-1.0.AppImage", 40000);
    expect("AppImageInAFolderWithAnEqualsSignAlsoInAShellStays", "tally", {{userEntry("tally", "Tally", "Exec=\"/home/Portable/a=b/Tally-1.0.AppImage\"\n"), false}}, file);
    userEntry("tally-cli", "Tally", "Exec=sh -c \"exec '/home/Portable/a=b/Tally-1.0.AppImage' --cli\"\nNoDisplay=true\n");
    expect("AppImageAnEntryInALinkedFolderRunsStays", "orbit", {{anAppImage("orbit", "Orbit", "Orbit-2.AppImage").first, false}}, file);
    entry("home/launchers/orbit-safe.desktop", "Orbit (safe)", "Exec=~/Applications/Orbit-2.AppImage --safe\nNoDisplay=true\n");
    link(home("launchers"), ".local/share/applications/launchers");
    // A file manager's menus are entries too: KDE's service menus, the actions of Nautilus and Caja.
    expect("AppImageAServiceMenuRunsStays", "shrinker", {{anAppImage("shrinker", "Shrinker", "Shrinker-1.0.AppImage").first, false}}, file);
    tree.write("home/.local/share/kio/servicemenus/shrink.desktop",
               "[Desktop Entry]\nType=Service\nMimeType=image/*;\nActions=half;\n[Desktop Action half]\nName=Shrink to half\n"
               "Exec=/home/Applications/Shrinker-1.0.AppImage --half %F\n");
    expect("AppImageAFileManagerActionRunsStays", "tagger", {{anAppImage("tagger", "Tagger", "Tagger-2.1.AppImage").first, false}}, file);
    tree.write("home/.local/share/file-manager/actions/tag.desktop",
               "[Desktop Entry]\nType=Action\nName=Tag\nProfiles=profile-zero;\n[X-Action-Profile profile-zero]\nExec=~/Applications/Tagger-2.1.AppImage %F\n");
    expect("AppImageANemoActionRunsStays", "pixels", {{anAppImage("pixels", "Pixels", "Pixels-0.9.AppImage").first, false}}, file);
    tree.write("home/.local/share/nemo/actions/pixels.nemo_action", "[Nemo Action]\nName=Pixelate\nExec=/home/Applications/Pixels-0.9.AppImage %F\nSelection=any\n");
    // An entry linked under another ID is the same application: listed once, the link going with it.
    const auto [tuskEntry, tusk] = anAppImage("tusk", "Tusk", "Tusk-0.23.0.AppImage");
    expect("EntryLinkedUnderAnotherIDGoesWithIt", "tusk", {{tuskEntry, true}, {tusk, true}, {link(tuskEntry, ".local/share/applications/tusk-alias.desktop"), true}},
           file + allocated(tusk));
    // An entry that starts another, by its ID or by its file, runs what that one runs.
    tree.file("usr/bin/gtk-launch", 4000);
    tree.file("usr/bin/kioclient5", 4000);
    expect("AppImageAnotherEntryStartsByItsIDStays", "beeper", {{anAppImage("beeper", "Beeper", "Beeper-3.90.AppImage").first, false}}, file);
    userEntry("beeper-quick", "Beeper (quick start)", "Exec=gtk-launch beeper\nNoDisplay=true\n");
    expect("AppImageAShellStartsByItsIDStays", "wisp", {{anAppImage("wisp", "Wisp", "Wisp-0.4.AppImage").first, false}}, file);
    userEntry("wisp-later", "Wisp (later)", "Exec=sh -c \"sleep 30; exec gtk-launch wisp.desktop\"\nNoDisplay=true\n");
    compiled(tree, "home/.local/bin/slate", 20000);
    expect("ProgramAnotherEntryStartsByItsFileStays", "slate", {{userEntry("slate", "Slate", "Exec=slate\n"), false}}, file);
    entry("home/.config/autostart/slate-tray.desktop", "Slate tray", "Exec=kioclient5 exec /home/.local/share/applications/slate.desktop\n");
    // A script that another entry runs names the program by its path.
    compiled(tree, "home/bin/qtractor", 20000);
    wrapper("qtractor-jack", "exec pw-jack \"$HOME/bin/qtractor\" \"$@\"");
    userEntry("qtractor-jack", "Qtractor (JACK)", "Exec=qtractor-jack\nNoDisplay=true\n");
    expect("ProgramAScriptOfAnotherEntryNamesStays", "qtractor", {{userEntry("qtractor", "Qtractor", "Exec=~/bin/qtractor\n"), false}}, file);
    // …by its name, or by a path read where the script changed into.
    compiled(tree, "home/.local/bin/zrythm", 20000);
    wrapper("zrythm-safe", "# Zrythm won't start with its plugins\nexport LC_ALL=C\nexec zrythm --no-plugins \"$@\"");
    userEntry("zrythm-safe", "Zrythm (safe)", "Exec=zrythm-safe\nNoDisplay=true\n");
    expect("ProgramAScriptOfAnotherEntryRunsByNameStays", "zrythm", {{userEntry("zrythm", "Zrythm", "Exec=zrythm\n"), false}}, file);
    compiled(tree, "home/bin/mixxx", 20000);
    wrapper("mixxx-dev", "cd ~/bin\n./mixxx --developer");
    userEntry("mixxx-dev", "Mixxx (developer)", "Exec=mixxx-dev\nNoDisplay=true\n");
    compiled(tree, "home/.local/bin/olive", 20000);
    wrapper("olive-proxy", "exec \"$(dirname \"$0\")/olive\" --proxy \"$@\"");
    userEntry("olive-proxy", "Olive (proxies)", "Exec=olive-proxy\nNoDisplay=true\n");
    expect("ProgramAScriptRunsBesideItselfStays", "olive", {{userEntry("olive", "Olive", "Exec=olive\n"), false}}, file);
    expect("ProgramAScriptRunsWhereItChangedIntoStays", "mixxx", {{userEntry("mixxx", "Mixxx", "Exec=~/bin/mixxx\n"), false}}, file);
    // An entry whose TryExec program is not there is not shown.
    anAppImage("lumen", "Lumen", "Lumen-1.1.AppImage", "~/Applications/Lumen-1.1.AppImage\nTryExec=lumen-helper");
    expect("EntryWhoseTryExecIsMissingIsNotListed", "lumen", {}, 0);
}

namespace {

constexpr std::array namedPlaceCases{
    "WorkingFolderOfAnotherEntryIsNoLeftover", "FolderAShellChangesIntoIsNoLeftover", "AppImageThatEnvRunsInItsFolderStays",
    "AppImageRunInItsWorkingFolderStays", "SafeModeOfBazStays", "AppImageAnAutostartEntryRunsStays",
    "AppImageALauncherOnTheDesktopRunsStays", "AppImageAnActionRunsStays", "AppImageATryExecNamesStays",
    "AppImageInAFolderWithAnEqualsSignAlsoInAShellStays", "AppImageAnEntryInALinkedFolderRunsStays", "AppImageAServiceMenuRunsStays",
    "AppImageAFileManagerActionRunsStays", "AppImageANemoActionRunsStays", "EntryLinkedUnderAnotherIDGoesWithIt",
    "AppImageAnotherEntryStartsByItsIDStays", "AppImageAShellStartsByItsIDStays", "ProgramAnotherEntryStartsByItsFileStays",
    "ProgramAScriptOfAnotherEntryNamesStays", "ProgramAScriptOfAnotherEntryRunsByNameStays", "ProgramAScriptRunsBesideItselfStays",
    "ProgramAScriptRunsWhereItChangedIntoStays", "EntryWhoseTryExecIsMissingIsNotListed",
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(NamedPlaces, ApplicationFate, ::testing::ValuesIn(namedPlaceCases), [](const auto& row) { return std::string(row.param); });
