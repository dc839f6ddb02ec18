#include "Services/InstalledHome.h"

#include <array>

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace InstalledFiles;

// Launchers in front of a program: jails, shells, wrappers, folders of several programs.
void InstalledHome::plantLaunchers() {
    const std::int64_t file = entryBytes_;
    // A second launcher runs the AppImage through a wrapper, a shell, or hands it as an option's value.
    tree.file("usr/bin/firejail", 4000);
    tree.file("usr/bin/sh", 4000);
    appImage(tree, "home/AppImages/Obsidian-1.5.3.AppImage", 50000);
    expect("AppImageAlsoInAJailStays", "obsidian", {{userEntry("obsidian", "Obsidian", "Exec=~/AppImages/Obsidian-1.5.3.AppImage %U\n"), false}}, file);
    expect("JailLauncherStays", "obsidian-jail",
           {{userEntry("obsidian-jail", "Obsidian in a jail", "Exec=firejail --appimage ~/AppImages/Obsidian-1.5.3.AppImage\n"), false}}, file);
    appImage(tree, "home/AppImages/Joplin-2.14.AppImage", 50000);
    expect("AppImageAlsoInAShellStays", "joplin", {{userEntry("joplin", "Joplin", "Exec=~/AppImages/Joplin-2.14.AppImage\n"), false}}, file);
    userEntry("joplin-notes", "Notes", "Exec=sh -c \"cd ~/notes && exec '/home/AppImages/Joplin-2.14.AppImage' --profile notes\"\nNoDisplay=true\n");
    appImage(tree, "home/AppImages/Logseq-0.10.9.AppImage", 50000);
    expect("AppImageHandedAsAnOptionsValueStays", "logseq", {{userEntry("logseq", "Logseq", "Exec=~/AppImages/Logseq-0.10.9.AppImage\n"), false}}, file);
    userEntry("logseq-jail", "Logseq jailed", "Exec=firejail --private --appimage-path=~/AppImages/Logseq-0.10.9.AppImage\nNoDisplay=true\n");
    // A launcher that names the home folder and the root runs neither: they hold every application.
    userEntry("shell-here", "Shell here", "Exec=sh -c \"cd ~/ && exec /usr/bin/sh --login /\"\nNoDisplay=true\n");

    // Wrappers in ~/.local/bin name their program in ways without end: whatever they run stays.
    executable(compiled(tree, "home/Postman/app/Postman", 90000));
    wrapper("postman", "cd \"$HOME/Postman/app\" && exec ./Postman \"$@\"");
    const fs::path postmanEntry = userEntry("postman", "Postman", "Exec=~/.local/bin/postman %U\n");
    const fs::path postmanData = tree.file("home/.config/Postman/collections.json", 9000).parent_path();
    expect("PostmanBehindAWrapperStays", "postman", {{postmanEntry, false}, {postmanData, false}}, file);
    executable(compiled(tree, "home/.local/bin/zed-editor", 90000));
    wrapper("zed", "exec zed-editor \"$@\"");
    const fs::path zedEntry = userEntry("dev.zed.Zed", "Zed", "Exec=zed %U\n");
    const fs::path zedData = tree.file("home/.config/zed/settings.json", 2000).parent_path();
    expect("ZedBehindAWrapperStays", "dev.zed.Zed", {{zedEntry, false}, {zedData, false}}, file);
    executable(compiled(tree, "home/Insomnia/insomnia", 9000));
    wrapper("insomnia", "exec \"$HOME\"/Insomnia/insomnia \"$@\"");
    const fs::path insomniaEntry = userEntry("insomnia", "Insomnia", "Exec=insomnia\n");
    const fs::path insomniaData = tree.file("home/.config/Insomnia/data", 2000).parent_path();
    expect("InsomniaBehindAWrapperStays", "insomnia", {{insomniaEntry, false}, {insomniaData, false}}, file);
    executable(compiled(tree, "home/opt2/Bruno/bruno", 9000));
    wrapper("bruno", "APPDIR=\"$HOME/opt2/Bruno\"; exec \"$APPDIR/bruno\" \"$@\"");
    const fs::path brunoEntry = userEntry("bruno", "Bruno", "Exec=bruno\n");
    const fs::path brunoData = tree.file("home/.config/bruno/prefs", 2000).parent_path();
    expect("BrunoBehindAWrapperStays", "bruno", {{brunoEntry, false}, {brunoData, false}}, file);
    executable(compiled(tree, "home/.local/bin/nova-real", 9000));
    wrapper("nova", "exec \"$(dirname \"$0\")/nova-real\" \"$@\"");
    const fs::path novaEntry = userEntry("nova", "Nova", "Exec=nova\n");
    const fs::path novaData = tree.file("home/.config/nova/state", 2000).parent_path();
    expect("NovaBehindAWrapperStays", "nova", {{novaEntry, false}, {novaData, false}}, file);
    executable(compiled(tree, "opt/beekeeper-studio/beekeeper-studio", 9000));
    wrapper("beekeeper-studio", "exec /opt/beekeeper-studio/beekeeper-studio \"$@\"");
    const fs::path beekeeperEntry = userEntry("beekeeper-studio", "Beekeeper Studio", "Exec=beekeeper-studio\n");
    const fs::path beekeeperData = tree.file("home/.config/beekeeper-studio/app.db", 2000).parent_path();
    expect("BeekeeperBehindAWrapperStays", "beekeeper-studio", {{beekeeperEntry, false}, {beekeeperData, false}}, file);

    // A folder holding programs of two applications is neither's: an AppImage in it is its own.
    executable(compiled(tree, "home/Apps/Godot_v4.2.2-stable_linux.x86_64", 90000));
    const fs::path godotEntry = userEntry("org.godotengine.Godot", "Godot", "Exec=~/Apps/Godot_v4.2.2-stable_linux.x86_64\n");
    const fs::path godotData = tree.file("home/.local/share/godot/editor_settings-4.tres", 2000).parent_path();
    expect("GodotBesideAnAppImageStays", "org.godotengine.Godot", {{godotEntry, false}, {godotData, false}}, file);
    const fs::path etcher = appImage(tree, "home/Apps/balenaEtcher-1.18.11-x64.AppImage", 60000);
    const fs::path etcherEntry = userEntry("balena-etcher", "balenaEtcher", "Exec=~/Apps/balenaEtcher-1.18.11-x64.AppImage\n");
    const fs::path etcherData = tree.file("home/.config/balenaEtcher/config.json", 2000).parent_path();
    expect("BalenaEtcherBesideGodotGoes", "balena-etcher", {{etcherEntry, true}, {etcher, true}, {etcherData, true}}, file + allocated(etcher));
    executable(compiled(tree, "home/Emulators/duckstation-qt", 90000));
    appImage(tree, "home/Emulators/pcsx2-v1.7.5-linux-x64.AppImage", 60000);
    const fs::path duckstationEntry = userEntry("org.duckstation.DuckStation", "DuckStation", "Exec=~/Emulators/duckstation-qt\n");
    expect("FolderWithAnAppImageOfNoEntryIsNobodys", "org.duckstation.DuckStation", {{duckstationEntry, false}}, file);


    // Neither ELF nor "#!": a script without its first line, a jar. No compiled program.
    executable(tree.write("home/.local/bin/notary", "notary() { echo \"$@\"; }\nnotary \"$@\"\n"));
    expect("ShebanglessScriptInLocalBinStays", "notary", {{userEntry("notary", "Notary", "Exec=notary\n"), false}}, file);
    executable(tree.write("home/.local/bin/jarvis", "PK\x03\x04" + std::string(3000, 'j')));
    expect("JarInLocalBinStays", "jarvis", {{userEntry("jarvis", "Jarvis", "Exec=~/.local/bin/jarvis\n"), false}}, file);


    // A folder of several programs and the user's files, or a prefix of several, is no application's
    // own; one named after its program holds that program's helpers.
    executable(compiled(tree, "home/Loose/Godot_v4.3-stable_linux.x86_64", 9000));
    executable(compiled(tree, "home/Loose/lazydocker", 9000));
    tree.file("home/Loose/notes-about-my-tools.txt", 2000);
    const fs::path looseEntry = userEntry("org.godotengine.Godot4", "Godot 4", "Exec=~/Loose/Godot_v4.3-stable_linux.x86_64 %f\n");
    expect("FolderOfLooseProgramsIsNobodys", "org.godotengine.Godot4", {{looseEntry, false}}, file);
    executable(compiled(tree, "home/prefix/bin/foliate", 9000));
    executable(compiled(tree, "home/prefix/bin/ctags", 9000));
    tree.file("home/prefix/share/foliate/x", 2000);
    const fs::path foliateEntry = userEntry("com.github.johnfactotum.Foliate", "Foliate", "Exec=~/prefix/bin/foliate %U\n");
    expect("PrefixOfSeveralProgramsIsNobodys", "com.github.johnfactotum.Foliate", {{foliateEntry, false}}, file);
    executable(compiled(tree, "home/Telegram/Telegram", 9000));
    executable(compiled(tree, "home/Telegram/Updater", 9000));
    const fs::path telegramEntry = userEntry("org.telegram.desktop", "Telegram Desktop", "Exec=~/Telegram/Telegram -- %u\n");
    expect("FolderNamedAfterItsProgramHoldsItsHelpers", "org.telegram.desktop", {{telegramEntry, false}, {home("Telegram"), false}}, file + du(home("Telegram")));
    // Both go, the AppImage with its folder: what is selected counts it once (checked below).
    const fs::path cider = appImage(tree, "home/.local/share/cider/Cider-2.5.0.AppImage", 60000);
    tree.file("home/.local/share/cider/cache/x", 4000);
    const fs::path ciderEntry = userEntry("sh.cider.Cider", "Cider", "Exec=~/.local/share/cider/Cider-2.5.0.AppImage %U\n");
    expect("AppImageInsideItsTickedDataFolder", "sh.cider.Cider", {{ciderEntry, true}, {cider, true}, {cider.parent_path(), true}}, file + allocated(cider));
}

namespace {

constexpr std::array launcherCases{
    "AppImageAlsoInAJailStays", "JailLauncherStays", "AppImageAlsoInAShellStays", "AppImageHandedAsAnOptionsValueStays",
    "PostmanBehindAWrapperStays", "ZedBehindAWrapperStays", "InsomniaBehindAWrapperStays", "BrunoBehindAWrapperStays",
    "NovaBehindAWrapperStays", "BeekeeperBehindAWrapperStays", "GodotBesideAnAppImageStays", "BalenaEtcherBesideGodotGoes",
    "FolderWithAnAppImageOfNoEntryIsNobodys", "ShebanglessScriptInLocalBinStays", "JarInLocalBinStays", "FolderOfLooseProgramsIsNobodys",
    "PrefixOfSeveralProgramsIsNobodys", "FolderNamedAfterItsProgramHoldsItsHelpers", "AppImageInsideItsTickedDataFolder",
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Launchers, ApplicationFate, ::testing::ValuesIn(launcherCases), [](const auto& row) { return std::string(row.param); });
