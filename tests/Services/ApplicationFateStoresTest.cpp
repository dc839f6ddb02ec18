#include "Services/InstalledHome.h"

#include <array>

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace InstalledFiles;

// Runners, launchers, stores and packages: they serve more than one entry, or only their own tool removes them.
void InstalledHome::plantRunnersAndStores() {
    const std::int64_t file = entryBytes_;
    // Runners, named by their path or found on the path: they serve more than one entry.
    tree.file("home/miniconda3/bin/python3", 300000);
    tree.file("home/miniconda3/bin/conda", 2000);
    tree.file("home/miniconda3/bin/Rscript", 2000);
    tree.folder("home/miniconda3/conda-meta");
    tree.folder("home/miniconda3/lib");
    const fs::path condaEntry = userEntry("dataapp", "DataApp", "Exec=~/miniconda3/bin/conda run -n ds python ~/proj/app.py\n");
    const fs::path condaData = tree.file("home/.config/DataApp/state", 3000).parent_path();
    expect("CondaRunnerStays", "dataapp", {{condaEntry, false}, {condaData, false}}, file);
    expect("RscriptRunnerStays", "shiny", {{userEntry("shiny", "Rscript", "Exec=~/miniconda3/bin/Rscript ~/shiny/app.R\n"), false}}, file);
    link(home("miniconda3/bin"), "Tools");
    tree.file("home/miniconda3/bin/datatool", 2000);
    expect("ProgramThroughALinkedEnvironmentStays", "datatool", {{userEntry("datatool", "datatool", "Exec=~/Tools/datatool\n"), false}}, file);
    compiled(tree, "home/.local/bin/uv", 30000);
    expect("UvRunnerStays", "proj", {{userEntry("proj", "Proj", "Exec=~/.local/bin/uv run --project ~/proj app\n"), false}}, file);
    link(tree.file("home/.local/lib/node_modules/npm/bin/npx-cli.js", 3000), ".local/bin/npx");
    expect("NpxRunnerStays", "electron-app", {{userEntry("electron-app", "npx", "Exec=~/.local/bin/npx electron ~/proj\n"), false}}, file);
    // Programs installed into a tree of their own tool, reached by a link or a script.
    link(compiled(tree, "home/.local/pipx/venvs/black/bin/black", 3000), ".local/bin/black");
    tree.write("home/.local/pipx/venvs/black/pyvenv.cfg", "home = /usr/bin\n");
    expect("PipxProgramStays", "black", {{userEntry("black", "Black", "Exec=black\n"), false}}, file);
    compiled(tree, "home/.local/bin/isort", 300);  // a plain file, which pip lists as its package's
    tree.write("home/.local/lib/python3.11/site-packages/isort-5.13.dist-info/RECORD", "isort/__init__.py,sha256=x,10\n../../../bin/isort,sha256=y,300\n");
    expect("PipProgramStays", "isort", {{userEntry("isort", "isort", "Exec=isort\n"), false}}, file);
    link(tree.file("home/.npm-global/lib/node_modules/gizmo/bin/gizmo.js", 3000), ".npm-global/bin/gizmo");
    expect("NpmGlobalProgramStays", "gizmo", {{userEntry("gizmo", "Gizmo", "Exec=/home/.npm-global/bin/gizmo\n"), false}}, file);
    tree.file("home/.local/share/JetBrains/Toolbox/apps/pycharm/bin/pycharm.sh", 3000);
    tree.folder("home/.local/share/JetBrains/Toolbox/apps/pycharm/lib");
    expect("ToolboxScriptStays", "jetbrains-pycharm",
           {{userEntry("jetbrains-pycharm", "PyCharm", "Exec=~/.local/share/JetBrains/Toolbox/apps/pycharm/bin/pycharm.sh %f\n"), false}}, file);

    // A launcher keeps the game; Wine keeps its program.
    const fs::path stardewEntry = userEntry("Stardew Valley", "Stardew Valley", "Exec=steam steam://rungameid/413150\n");
    const fs::path saves = tree.file("home/.config/StardewValley/Saves/farm", 300000).parent_path().parent_path();
    expect("SteamGameStays", "Stardew Valley", {{stardewEntry, false}, {saves, false}}, file);
    // A launcher no path reaches (a Flatpak's own) handed an address.
    const fs::path terrariaEntry = userEntry("net.lutris.terraria-2", "Terraria", "Exec=env LUTRIS_SKIP_INIT=1 lutris lutris:rungameid/2\n");
    const fs::path worlds = tree.file("home/.local/share/Terraria/Worlds/world.wld", 90000).parent_path().parent_path();
    expect("LutrisGameStays", "net.lutris.terraria-2", {{terrariaEntry, false}, {worlds, false}}, file);
    expect("WineProgramStays", "wine-Programs-Notepad++",
           {{userEntry("wine/Programs/Notepad++", "Notepad++", "Exec=env WINEPREFIX=\"/home/.wine\" wine C:\\\\np.exe\n"), false}}, file);

    // Flatpak, per user and system-wide, and Snap: only their own tools remove them.
    const std::string thunderbird = "org.mozilla.Thunderbird";
    const fs::path deployed = home(".local/share/flatpak/app/" + thunderbird);
    const fs::path exported = entry("home/.local/share/flatpak/app/" + thunderbird + "/current/active/export/share/applications/" + thunderbird + ".desktop",
                                    "Thunderbird", "Exec=/usr/bin/flatpak run --command=thunderbird " + thunderbird + " @@u %u @@\n");
    tree.file("home/.local/share/flatpak/app/" + thunderbird + "/current/active/files/lib/thunderbird", 200000);
    const fs::path thunderbirdEntry = link(exported, ".local/share/flatpak/exports/share/applications/" + thunderbird + ".desktop");
    const fs::path mail = home(".var/app/" + thunderbird);
    const fs::path inbox = tree.file("home/.var/app/" + thunderbird + "/.thunderbird/profile/Mail/inbox", 700000);
    fs::create_hard_link(inbox, inbox.parent_path() / "inbox.backup");
    expect("UserFlatpakStays", thunderbird, {{thunderbirdEntry, false}, {mail, false}}, du(deployed));
    const fs::path mapsEntry = entry("var/lib/flatpak/exports/share/applications/org.gnome.Maps.desktop", "Maps", "Exec=flatpak run org.gnome.Maps\nX-Flatpak=org.gnome.Maps\n");
    const fs::path mapsDeployed = tree.file("var/lib/flatpak/app/org.gnome.Maps/current/active/files/bin/maps", 50000).parent_path().parent_path().parent_path().parent_path().parent_path();
    const fs::path mapsData = tree.file("home/.var/app/org.gnome.Maps/.config/state", 2000).parent_path().parent_path();
    expect("SystemFlatpakStays", "org.gnome.Maps", {{mapsEntry, false}, {mapsData, false}}, du(mapsDeployed));
    const fs::path firefoxEntry = entry("var/lib/snapd/desktop/applications/firefox_firefox.desktop", "Firefox", "Exec=env BAMF_DESKTOP_FILE_HINT=x /snap/bin/firefox %u\n");
    const fs::path firefoxSnap = tree.file("var/lib/snapd/snaps/firefox_4000.snap", 80000);
    expect("SnapStays", "firefox_firefox", {{firefoxEntry, false}}, allocated(firefoxSnap));

    // A package, a user's copy of a packaged entry, and an AppImage of the same application.
    const fs::path htopEntry = entry("usr/share/applications/htop.desktop", "Htop", "Exec=htop\n");
    compiled(tree, "usr/bin/htop", 60000);
    entry("usr/share/applications/gedit.desktop", "Gedit", "Exec=gedit %U\n");
    compiled(tree, "usr/bin/gedit", 10000);
    tree.write("var/lib/dpkg/info/htop.list", "/usr/share/applications/htop.desktop\n/usr/bin/htop\n");
    tree.write("var/lib/dpkg/info/gedit.list", "/usr/share/applications/gedit.desktop\n/usr/bin/gedit\n");
    const fs::path htopConfig = tree.file("home/.config/htop/htoprc", 1000).parent_path();
    expect("PackagedApplicationStays", "htop", {{htopEntry, false}, {htopConfig, false}}, allocated(htopEntry) + allocated(tree.path() / "usr/bin/htop"));
    expect("UsersCopyOfPackagedEntryStays", "gedit", {{userEntry("gedit", "Gedit", "Exec=gedit --new-window %U\n"), false}}, file);
    // AppImageLauncher's entry without the hash: the ID names the application.
    const fs::path htopImage = appImage(tree, "home/Applications/htop-3.3.0-x86_64.AppImage", 150000);
    const fs::path htopImageEntry = userEntry("appimagekit_htop", "htop (AppImage)", "Exec=~/Applications/htop-3.3.0-x86_64.AppImage\n");
    expect("AppImageBesidePackagedNamesakeGoes", "appimagekit_htop", {{htopImageEntry, true}, {htopImage, true}, {htopConfig, false}},
           file + allocated(htopImage));

    // One program, two entries, one of them hidden; an entry whose program is gone.
    compiled(tree, "home/.local/bin/twin", 9000);
    const fs::path twinEntry = userEntry("twin", "Twin", "Exec=twin\n");
    userEntry("twin-settings", "Twin Settings", "Exec=twin --settings\nNoDisplay=true\n");
    expect("ProgramOfTwoEntriesStays", "twin", {{twinEntry, false}}, file);
    const fs::path goneEntry = userEntry("gone", "Gone", "Exec=~/Applications/Gone.AppImage\n");
    const fs::path goneData = tree.file("home/.config/Gone/settings", 2000).parent_path();
    expect("MissingProgramLeavesOnlyTheLauncher", "gone", {{goneEntry, true}, {goneData, false}}, file);
}

namespace {

constexpr std::array storeCases{
    "CondaRunnerStays", "RscriptRunnerStays", "ProgramThroughALinkedEnvironmentStays", "UvRunnerStays", "NpxRunnerStays",
    "PipxProgramStays", "PipProgramStays", "NpmGlobalProgramStays", "ToolboxScriptStays", "SteamGameStays", "LutrisGameStays",
    "WineProgramStays", "UserFlatpakStays", "SystemFlatpakStays", "SnapStays", "PackagedApplicationStays", "UsersCopyOfPackagedEntryStays",
    "AppImageBesidePackagedNamesakeGoes", "ProgramOfTwoEntriesStays", "MissingProgramLeavesOnlyTheLauncher",
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Stores, ApplicationFate, ::testing::ValuesIn(storeCases), [](const auto& row) { return std::string(row.param); });
