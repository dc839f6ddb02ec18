#include "Models/ArtifactSelection.h"
#include "Models/PackageKind.h"
#include "Platform/DesktopApplications.h"
#include "Platform/DesktopEntry.h"
#include "Platform/EntryProgram.h"
#include "Platform/SettingsStore.h"
#include "Platform/SystemRoots.h"
#include "Services/UninstallerService.h"
#include "Foundation/LiesWithin.h"
#include "Support/InstalledFiles.h"
#include "Support/TempTree.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace InstalledFiles;

namespace {

// The items listed for an application, in order, each with its tick.
using Items = std::vector<std::pair<fs::path, bool>>;

// What one application must show: its items and the size the list gives it, in a language.
struct Expected {
    std::string id;
    Items items;
    std::int64_t size = 0;
    std::string language = "en";
};

// What the uninstaller listed for one application.
struct Listed {
    Items items;
    std::int64_t size = 0;
    std::vector<AppArtifact> artifacts;
};

// Every case of the home below, by name: each decided by the rule its name gives.
constexpr std::array caseNames{
    "AppImageGoesWithItsSettings", "IntegratedAppImageGoes", "CompiledProgramInLocalBinGoes", "CompiledProgramInCargoBinGoes",
    "CompiledProgramInGoBinGoes", "CompiledProgramInHomeBinGoes", "AppImageThroughALinkedFolderGoes", "ProgramBelowAProgramFolderIsOnlyOffered",
    "FolderWithASpaceIsOffered", "RelativePathStays", "FolderBesideTheHomeStays", "PackagedProgramInTheHomeStays", "PackagedProgramInLocalBinStays", "CondaRunnerStays",
    "RscriptRunnerStays", "ProgramThroughALinkedEnvironmentStays", "UvRunnerStays", "NpxRunnerStays", "PipxProgramStays", "PipProgramStays",
    "NpmGlobalProgramStays", "ToolboxScriptStays", "SteamGameStays", "WineProgramStays", "LutrisGameStays", "UserFlatpakStays",
    "SystemFlatpakStays", "SnapStays", "PackagedApplicationStays", "UsersCopyOfPackagedEntryStays", "AppImageBesidePackagedNamesakeGoes",
    "ProgramOfTwoEntriesStays", "MissingProgramLeavesOnlyTheLauncher", "UnpackedFirefoxIsOffered", "UnpackedCodeIsOffered",
    "UnpackedDiscordIsOffered", "UnpackedLocalSendIsOffered", "LauncherScriptOfItchIsOffered", "GameInsideItchsSettingsIsOffered",
    "FolderBehindALinkIsOfferedAsItIs", "FolderNotUtf8IsOffered", "TarballIdeIsOffered", "VersionControlledBuildStays",
    "LauncherHoldingAGameStays", "GameInsideALauncherStays", "AppImageInsideALaunchersFolderStays", "WrapperOfNethackStays", "NodeProjectStays", "PythonEnvironmentStays",
    "CondaInstallStays", "ProgramNamedThroughALinkStays", "ProgramOfAnotherUserStays", "FifoInAProgramsPlaceStays",
    "AppImageWithoutItsMarkStays", "LmStudioGoesByItsAppImagesName", "KritaKnownByItsIDAfterTheHash", "SublimeTextFindsItsSettings",
    "CursorLeavesCursorAgent", "BitwardenLeavesBitwardenCli", "WebAppOfAGoneBrowserLeavesOnlyItsLauncher", "ProgramOnAnUnpluggedDriveStays",
    "LinkToAnUnpluggedDriveStays", "EmptyMountPointStays", "ProgramInMediaStays", "ProgramInRunMediaStays", "AppImageAlsoInAJailStays",
    "AppImageAlsoInAShellStays", "JailLauncherStays", "AppImageHandedAsAnOptionsValueStays", "PostmanBehindAWrapperStays",
    "ZedBehindAWrapperStays", "InsomniaBehindAWrapperStays", "BrunoBehindAWrapperStays", "NovaBehindAWrapperStays",
    "BeekeeperBehindAWrapperStays", "GodotBesideAnAppImageStays", "BalenaEtcherBesideGodotGoes", "FolderWithAnAppImageOfNoEntryIsNobodys", "StandardNotesAtAnOldVersionLeavesTheLauncher",
    "Rpcs3OnADriveNotMountedStays", "CemuOnADataDriveNotMountedStays", "ProgramGoneFromAMountedDriveLeavesTheLauncher",
    "TodoistWithPercentsInItsNameIsFound", "WriterFindsItsSettingsInArabic", "ProgramInDownloadsStays", "ProgramOnTheDesktopStays",
    "WorkingFolderOfAnotherEntryIsNoLeftover", "FolderAShellChangesIntoIsNoLeftover", "AppImageThatEnvRunsInItsFolderStays",
    "AppImageRunInItsWorkingFolderStays", "SafeModeOfBazStays", "AppImageAnAutostartEntryRunsStays", "AppImageALauncherOnTheDesktopRunsStays",
    "AppImageAnActionRunsStays", "AppImageATryExecNamesStays", "AppImageInAFolderWithAnEqualsSignAlsoInAShellStays",
    "EntryWhoseTryExecIsMissingIsNotListed", "SessionLeavesPlasmasSessionStore",
    "LowerCaseNameBesideTheExactOneIsNotTicked", "TerminalNamesakesNotesStay", "FlatpaksDataStaysBesideAnAppImage",
    "NeovimLeavesHomebrewNvimsSettings", "GimpLeavesWhatItsDistroboxExportUses", "VimIsItsProgramsPackage", "LinksToAProgramThatGoesGoWithIt",
    "ProgramWhoseFolderWasDeletedLeavesTheLauncher", "ProgramBehindALinkToAnUnpluggedDriveStays", "ProgramBelowACommentedOutMountLeavesTheLauncher", "ShebanglessScriptInLocalBinStays",
    "JarInLocalBinStays", "AppImageAnEntryInALinkedFolderRunsStays", "DivertedProgramIsItsPackages",
    "LeftoverHoldingAMountIsNotTicked", "LeftoverThatIsAMountPointIsNotTicked", "SystemEntryOfAMissingProgramIsNotTicked",
    "CopiedFlatpakKeyProvesNoFlatpak", "CopiedSnapKeyProvesNoSnap", "FolderOfLooseProgramsIsNobodys", "PrefixOfSeveralProgramsIsNobodys",
    "FolderNamedAfterItsProgramHoldsItsHelpers", "AppImageInsideItsTickedDataFolder", "AppImageAServiceMenuRunsStays",
    "AppImageAFileManagerActionRunsStays", "EntryLinkedUnderAnotherIDGoesWithIt", "AppImageAnotherEntryStartsByItsIDStays",
    "ProgramAnotherEntryStartsByItsFileStays", "ProgramAScriptOfAnotherEntryNamesStays", "AppImageAShellStartsByItsIDStays",
    "ProgramAScriptOfAnotherEntryRunsByNameStays", "ProgramAScriptRunsWhereItChangedIntoStays",
    "ProgramAScriptRunsBesideItselfStays", "AppImageANemoActionRunsStays",
};

// A home laid out as real installs lay it out: what each case expects, and what the uninstaller
// shows, in English and in Arabic.
class InstalledHome {
public:
    InstalledHome();
    ~InstalledHome() { SystemRoots::install(SystemRoots::machine()); }

    fs::path home(const std::string& relative) const { return tree.path() / "home" / relative; }
    // What the uninstaller shows for one application in the language, asked once.
    const Listed& listed(const std::string& language, const std::string& id);
    // Every listed application in the language, by desktop-file ID.
    std::map<std::string, Listed> listAll(const std::string& language);
    std::vector<InstalledApplication> applications(const std::string& language);
    // Every entry of the home, with the places it names.
    std::vector<std::pair<fs::path, std::vector<fs::path>>> namedPlaces();

    TempTree tree;
    UninstallerService service;
    std::map<std::string, Expected> expected;  // by case name

private:
    fs::path link(const fs::path& target, const std::string& relative) const {
        fs::create_directories(home(relative).parent_path());
        fs::create_symlink(target, home(relative));
        return home(relative);
    }
    fs::path entry(const std::string& relative, const std::string& name, const std::string& keys) const {
        return tree.write(relative, "[Desktop Entry]\nType=Application\nName=" + name + "\n" + keys);
    }
    fs::path userEntry(const std::string& id, const std::string& name, const std::string& keys) const {
        return entry("home/.local/share/applications/" + id + ".desktop", name, keys);
    }
    // A launcher script in ~/.local/bin, as a user writes one in front of a program.
    fs::path wrapper(const std::string& name, const std::string& body) const {
        return executable(tree.write("home/.local/bin/" + name, "#!/bin/sh\n" + body + "\n"));
    }
    void expect(const char* name, std::string id, Items items, std::int64_t size, std::string language = "en") {
        expected[name] = {std::move(id), std::move(items), size, std::move(language)};
    }
    // Runs `ask` in this home, in the language, with the search path a session would have: whatever
    // another test installed since.
    template <typename Ask>
    auto inSession(const std::string& language, Ask ask) {
        SystemRoots::install(roots_);
        SettingsStore::shared().setValue("appLanguage", QString::fromStdString(language));
        const std::string previousPath = std::getenv("PATH") ? std::getenv("PATH") : "";
        ::setenv("PATH", "/home/.local/bin:/usr/bin:/home/linuxbrew/.linuxbrew/bin", 1);  // machine paths, under the fixture's root; /usr/games left out
        auto answer = ask();
        ::setenv("PATH", previousPath.c_str(), 1);
        SettingsStore::shared().remove("appLanguage");
        return answer;
    }

    std::map<std::string, std::map<std::string, Listed>> listed_;  // by language, then desktop-file ID
    std::map<std::string, std::vector<InstalledApplication>> shown_;  // by language, as last listed
    SystemRoots roots_;
};

std::vector<InstalledApplication> InstalledHome::applications(const std::string& language) {
    return inSession(language, [&] { return service.installedApplications(); });
}

const Listed& InstalledHome::listed(const std::string& language, const std::string& id) {
    auto& inLanguage = listed_[language];
    if (const auto known = inLanguage.find(id); known != inLanguage.end()) return known->second;
    auto shown = shown_.find(language);
    if (shown == shown_.end()) shown = shown_.emplace(language, applications(language)).first;
    Listed& each = inLanguage[id];
    for (const InstalledApplication& application : shown->second) {
        if (application.desktopFileID.toStdString() != id) continue;
        each.size = application.size;
        each.artifacts = inSession(language, [&] { return service.artifacts(application); });
        for (const AppArtifact& artifact : each.artifacts) each.items.emplace_back(artifact.path, artifact.isSelected);
    }
    return each;
}

std::map<std::string, Listed> InstalledHome::listAll(const std::string& language) {
    std::map<std::string, Listed> all;
    shown_[language] = applications(language);
    for (const InstalledApplication& application : shown_[language]) {
        const std::string id = application.desktopFileID.toStdString();
        all[id] = listed(language, id);
    }
    return all;
}

std::vector<std::pair<fs::path, std::vector<fs::path>>> InstalledHome::namedPlaces() {
    std::vector<std::pair<fs::path, std::vector<fs::path>>> named;
    inSession("en", [&] {
        for (const auto& each : fs::recursive_directory_iterator(tree.path()))
            if (const auto entry = each.path().extension() == ".desktop" ? DesktopEntry::read(each.path()) : std::nullopt) {
                EntryProgram program = EntryProgram::of(*entry, roots_, DesktopApplications::environmentSearchPath());
                program.runs.insert(program.runs.end(), program.folders.begin(), program.folders.end());
                named.emplace_back(fs::canonical(each.path()), std::move(program.runs));
            }
        return 0;
    });
    return named;
}

InstalledHome::InstalledHome() {
    tree.file("usr/bin/flatpak", 4000);
    tree.file("usr/games/steam", 4000);
    tree.file("usr/bin/wine", 4000);
    // Programs that stand alone and are named after their application.
    const fs::path foo = appImage(tree, "home/Applications/Foo-1.2-x86_64.AppImage", 500000);
    const fs::path fooEntry = userEntry("foo", "Foo", "Exec=~/Applications/Foo-1.2-x86_64.AppImage %U\n");
    const std::int64_t file = allocated(fooEntry);  // every entry takes one block
    const fs::path fooData = tree.file("home/.config/Foo/settings", 3000).parent_path();
    expect("AppImageGoesWithItsSettings", "foo", {{fooEntry, true}, {foo, true}, {fooData, true}}, file + allocated(foo));
    const fs::path bar = appImage(tree, "home/Applications/bar-2.0-x86_64.AppImage", 300000);
    const fs::path barEntry = userEntry("appimagekit_77ab-Bar", "Bar", "Exec=\"/home/Applications/bar-2.0-x86_64.AppImage\" %U\nX-AppImage-Version=2.0\n");
    expect("IntegratedAppImageGoes", "appimagekit_77ab-Bar", {{barEntry, true}, {bar, true}}, file + allocated(bar));
    const fs::path mytool = compiled(tree, "home/.local/bin/mytool", 20000);
    const fs::path mytoolEntry = userEntry("mytool", "MyTool", "Exec=env LANG=C mytool --gui\n");
    expect("CompiledProgramInLocalBinGoes", "mytool", {{mytoolEntry, true}, {mytool, true}}, file + allocated(mytool));
    const fs::path alacritty = compiled(tree, "home/.cargo/bin/alacritty", 90000);
    tree.file("home/.cargo/registry/cache/x", 100);
    const fs::path alacrittyEntry = userEntry("Alacritty", "Alacritty", "Exec=~/.cargo/bin/alacritty\n");
    expect("CompiledProgramInCargoBinGoes", "Alacritty", {{alacrittyEntry, true}, {alacritty, true}}, file + allocated(alacritty));
    // Never the whole of ~/go with its module cache, nor the home above ~/bin.
    const fs::path lazygit = compiled(tree, "home/go/bin/lazygit", 30000);
    tree.file("home/go/pkg/mod/cache/download/x", 90000);
    const fs::path lazygitEntry = userEntry("lazygit", "lazygit", "Exec=~/go/bin/lazygit\n");
    expect("CompiledProgramInGoBinGoes", "lazygit", {{lazygitEntry, true}, {lazygit, true}}, file + allocated(lazygit));
    const fs::path ncdu = compiled(tree, "home/bin/ncdu", 20000);
    const fs::path ncduEntry = userEntry("ncdu", "ncdu", "Exec=~/bin/ncdu\n");
    expect("CompiledProgramInHomeBinGoes", "ncdu", {{ncduEntry, true}, {ncdu, true}}, file + allocated(ncdu));
    // Reached through a linked folder of the home: the file itself still stands alone.
    link(home("Applications"), "Linked");
    const fs::path qux = appImage(tree, "home/Applications/qux.AppImage", 40000);
    const fs::path quxEntry = userEntry("qux", "Qux", "Exec=~/Linked/qux.AppImage\n");
    expect("AppImageThroughALinkedFolderGoes", "qux", {{quxEntry, true}, {home("Linked/qux.AppImage"), true}}, file + allocated(qux));
    // Only what lies directly in a program folder stands alone.
    compiled(tree, "home/.local/bin/helpers/btop", 20000);
    const fs::path btopEntry = userEntry("btop", "btop", "Exec=~/.local/bin/helpers/btop\n");
    expect("ProgramBelowAProgramFolderIsOnlyOffered", "btop", {{btopEntry, false}, {home(".local/bin/helpers"), false}},
           file + du(home(".local/bin/helpers")));

    tree.file("home/My Apps/spaced", 30000);
    const fs::path spacedEntry = userEntry("spaced", "Spaced", "Exec=\"/home/My Apps/spaced\" --new-window %U\n");
    expect("FolderWithASpaceIsOffered", "spaced", {{spacedEntry, false}, {home("My Apps"), false}}, file + du(home("My Apps")));
    // Not the user's: a path relative to nobody knows where, a folder beside the home folder whose
    // name starts with the home's, a file a package installed into the home folder.
    tree.file("home/Work/relative", 9000);
    expect("RelativePathStays", "relative", {{userEntry("relative", "relative", "Exec=Work/relative\n"), false}}, file);
    compiled(tree, "homestead/tool", 9000);
    expect("FolderBesideTheHomeStays", "homestead", {{userEntry("homestead", "tool", "Exec=/homestead/tool\n"), false}}, file);
    compiled(tree, "home/Vendor/packaged", 80000);
    tree.write("var/lib/dpkg/info/vendor.list", "/home/Vendor/packaged\n");
    expect("PackagedProgramInTheHomeStays", "packaged", {{userEntry("packaged", "packaged", "Exec=~/Vendor/packaged\n"), false}}, file);
    compiled(tree, "home/.local/bin/vendortool", 30000);
    tree.write("var/lib/dpkg/info/vendortool.list", "/home/.local/bin/vendortool\n");
    expect("PackagedProgramInLocalBinStays", "vendortool", {{userEntry("vendortool", "vendortool", "Exec=vendortool\n"), false}}, file);

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

    // Applications unpacked into a folder of their own: the folder is offered whole, never
    // preselected, and the application stays unless it is chosen.
    tree.file("home/firefox/libxul.so", 200000);
    tree.file("home/firefox/browser/omni.ja", 90000);
    tree.file("home/firefox/firefox", 9000);
    const fs::path firefoxOwnEntry = userEntry("firefox", "Firefox", "Exec=~/firefox/firefox %u\n");
    expect("UnpackedFirefoxIsOffered", "firefox", {{firefoxOwnEntry, false}, {home("firefox"), false}}, file + du(home("firefox")));
    tree.file("home/VSCode-linux-x64/code", 9000);
    tree.file("home/VSCode-linux-x64/resources/app/out/main.js", 80000);
    const fs::path codeEntry = userEntry("code", "Visual Studio Code", "Exec=~/VSCode-linux-x64/code --unity-launch %F\n");
    const fs::path codeData = tree.file("home/.config/Code/User/settings.json", 50000).parent_path().parent_path();
    // code-server's, named only beginning with the application's ID.
    const fs::path codeServerConfig = tree.file("home/.config/code-server/config.yaml", 20000).parent_path();
    const fs::path codeServerData = tree.file("home/.local/share/code-server/extensions/x", 10000).parent_path().parent_path();
    expect("UnpackedCodeIsOffered", "code",
           {{codeEntry, false}, {home("VSCode-linux-x64"), false}, {codeData, false}, {codeServerConfig, false}, {codeServerData, false}},
           file + du(home("VSCode-linux-x64")));
    tree.file("home/Discord/Discord", 9000);
    tree.file("home/Discord/libffmpeg.so", 30000);
    const fs::path discordEntry = userEntry("discord", "Discord", "Exec=~/Discord/Discord\n");
    const fs::path discordData = tree.file("home/.config/discord/settings.json", 2000).parent_path();
    expect("UnpackedDiscordIsOffered", "discord", {{discordEntry, false}, {home("Discord"), false}, {discordData, false}}, file + du(home("Discord")));
    tree.file("home/localsend/localsend_app", 9000);
    tree.file("home/localsend/lib/libapp.so", 40000);
    tree.file("home/localsend/data/flutter_assets/AssetManifest.json", 3000);
    const fs::path localsendEntry = userEntry("org.localsend.localsend_app", "LocalSend", "Exec=~/localsend/localsend_app\n");
    const fs::path localsendData = tree.file("home/.local/share/org.localsend.localsend_app/state", 2000).parent_path();
    expect("UnpackedLocalSendIsOffered", "org.localsend.localsend_app", {{localsendEntry, false}, {home("localsend"), false}, {localsendData, false}},
           file + du(home("localsend")));
    // itch: a script in front of its install; its settings hold the games it installed.
    executable(compiled(tree, "home/.itch/app-25.5.1/itch", 100000));
    tree.file("home/.itch/app-25.5.1/resources/app.asar", 60000);
    executable(tree.write("home/.itch/itch", "#!/bin/sh\nexec \"$HOME/.itch/app-25.5.1/itch\" \"$@\"\n" + std::string(4000, '#') + "\n"));
    const fs::path itchEntry = userEntry("io.itch.itch", "itch", "Exec=~/.itch/itch %U\n");
    const fs::path itchData = tree.file("home/.config/itch/db/butler.db", 20000).parent_path().parent_path();
    expect("LauncherScriptOfItchIsOffered", "io.itch.itch", {{itchEntry, false}, {home(".itch"), false}, {itchData, false}}, file + du(home(".itch")));
    executable(compiled(tree, "home/.config/itch/apps/a-short-hike/AShortHike.x86_64", 80000));
    const fs::path hikeEntry = userEntry("io.itch.a-short-hike", "A Short Hike", "Exec=\"/home/.config/itch/apps/a-short-hike/AShortHike.x86_64\"\n");
    expect("GameInsideItchsSettingsIsOffered", "io.itch.a-short-hike", {{hikeEntry, false}, {itchData / "apps/a-short-hike", false}},
           file + du(itchData / "apps/a-short-hike"));
    // Reached through a link above it, the folder offered is the real one; a name's odd bytes are kept.
    tree.file("home/opt/pulsar/pulsar", 9000);
    link(home("opt/pulsar"), "Pulsar");
    expect("FolderBehindALinkIsOfferedAsItIs", "pulsar", {{userEntry("pulsar", "Pulsar", "Exec=~/Pulsar/pulsar\n"), false}, {home("opt/pulsar"), false}},
           file + du(home("opt/pulsar")));
    tree.file("home/Odd\xff App/run", 9000);
    expect("FolderNotUtf8IsOffered", "odd", {{userEntry("odd", "Odd", "Exec=\"/home/Odd\xff App/run\"\n"), false}, {home("Odd\xff App"), false}},
           file + du(home("Odd\xff App")));
    // A tarball IDE: its program in bin/ beside lib/; the folder above is the application's.
    tree.write("home/idea-IC/bin/idea.sh", "#!/bin/sh\nexec \"$IDE_HOME/jbr/bin/java\" -jar \"$IDE_HOME/lib/app.jar\"\n");
    tree.file("home/idea-IC/lib/app.jar", 70000);
    executable(compiled(tree, "home/idea-IC/jbr/bin/java", 30000));
    expect("TarballIdeIsOffered", "jetbrains-idea-ce",
           {{userEntry("jetbrains-idea-ce", "IntelliJ IDEA Community Edition", "Exec=~/idea-IC/bin/idea.sh %f\n"), false}, {home("idea-IC"), false}},
           file + du(home("idea-IC")));
    // Never offered: a folder of a version-controlled tree, a launcher's folder that holds a game
    // another entry runs.
    tree.file("home/src/tool/build/tool", 9000);
    tree.folder("home/src/tool/.git/objects");
    expect("VersionControlledBuildStays", "tool", {{userEntry("tool", "Tool", "Exec=~/src/tool/build/tool\n"), false}}, file);
    tree.file("home/GameHub/gamehub", 9000);
    tree.file("home/GameHub/library/celeste/Celeste", 9000);
    expect("LauncherHoldingAGameStays", "gamehub", {{userEntry("gamehub", "GameHub", "Exec=~/GameHub/gamehub\n"), false}}, file);
    expect("GameInsideALauncherStays", "celeste", {{userEntry("celeste", "Celeste", "Exec=~/GameHub/library/celeste/Celeste\n"), false}}, file);
    appImage(tree, "home/GameHub/tools/Heroic-2.15.2.AppImage", 40000);
    expect("AppImageInsideALaunchersFolderStays", "heroic", {{userEntry("heroic", "Heroic", "Exec=~/GameHub/tools/Heroic-2.15.2.AppImage\n"), false}}, file);
    // A script that starts a program elsewhere in the home is only a launcher.
    executable(compiled(tree, "home/Games/nethack/nethack-bin", 9000));
    wrapper("nethack", "cd ~/Games/nethack && exec ~/Games/nethack/nethack-bin \"$@\"");
    expect("WrapperOfNethackStays", "nethack", {{userEntry("nethack", "NetHack", "Exec=~/.local/bin/nethack\n"), false}}, file);

    // Decided each by one rule alone: a Node project, a Python and a conda environment, a program
    // named through a link, one another user owns, a FIFO in a program's place, a file named as an
    // AppImage without its mark.
    tree.file("home/webapp/launch", 2000);
    tree.file("home/webapp/node_modules/express/index.js", 2000);
    expect("NodeProjectStays", "webapp", {{userEntry("webapp", "launch", "Exec=~/webapp/launch\n"), false}}, file);
    tree.file("home/ml/env/bin/trainer", 2000);
    tree.write("home/ml/env/pyvenv.cfg", "home = /usr/bin\n");
    expect("PythonEnvironmentStays", "trainer", {{userEntry("trainer", "trainer", "Exec=~/ml/env/bin/trainer\n"), false}}, file);
    tree.file("home/anaconda3/bin/spyder", 2000);
    tree.file("home/anaconda3/conda-meta/history", 100);
    expect("CondaInstallStays", "spyder", {{userEntry("spyder", "Spyder", "Exec=~/anaconda3/bin/spyder\n"), false}}, file);
    compiled(tree, "home/.local/bin/linked-2.1", 9000);
    link(home(".local/bin/linked-2.1"), ".local/bin/linked");
    expect("ProgramNamedThroughALinkStays", "linked", {{userEntry("linked", "Linked", "Exec=~/.local/bin/linked\n"), false}}, file);
    const fs::path sharedTool = compiled(tree, "home/.local/bin/sharedtool", 9000);
    const fs::path sharedEntry = userEntry("sharedtool", "SharedTool", "Exec=~/.local/bin/sharedtool\n");
    if (::chown(sharedTool.c_str(), 12345, 12345) == 0) expect("ProgramOfAnotherUserStays", "sharedtool", {{sharedEntry, false}}, file);
    else expect("ProgramOfAnotherUserStays", "sharedtool", {{sharedEntry, true}, {sharedTool, true}}, file + allocated(sharedTool));  // only root gives a file away
    fs::create_directories(home("Pipe"));
    ::mkfifo(home("Pipe/pipe.AppImage").c_str(), 0644);
    expect("FifoInAProgramsPlaceStays", "pipe", {{userEntry("pipe", "pipe", "Exec=~/Pipe/pipe.AppImage\n"), false}}, file);
    compiled(tree, "home/Applications/Fake-1.0-x86_64.AppImage", 9000);
    expect("AppImageWithoutItsMarkStays", "fake", {{userEntry("fake", "Fake", "Exec=~/Applications/Fake-1.0-x86_64.AppImage\n"), false}}, file);

    // AppImages known by their mark and named as their entries are, however AppImageLauncher named those.
    const fs::path lmStudio = appImage(tree, "home/Applications/LM-Studio-0.2.24-x86_64.AppImage", 120000);
    const fs::path lmStudioEntry = userEntry("appimagekit_5d41402abc4b2a76b9719d911017c592-LM_Studio", "LM Studio",
                                             "Exec=~/Applications/LM-Studio-0.2.24-x86_64.AppImage\n");
    const fs::path lmStudioData = tree.file("home/.config/LM Studio/settings.json", 2000).parent_path();
    expect("LmStudioGoesByItsAppImagesName", "appimagekit_5d41402abc4b2a76b9719d911017c592-LM_Studio",
           {{lmStudioEntry, true}, {lmStudio, true}, {lmStudioData, true}}, file + allocated(lmStudio));
    const fs::path krita = appImage(tree, "home/Applications/krita-5.2.2-x86_64.AppImage", 30000);
    const fs::path kritaEntry = userEntry("appimagekit_0cc175b9c0f1b6a831c399e269772661-Krita", "Krita Painting",
                                          "Exec=~/Applications/krita-5.2.2-x86_64.AppImage\n");
    expect("KritaKnownByItsIDAfterTheHash", "appimagekit_0cc175b9c0f1b6a831c399e269772661-Krita", {{kritaEntry, true}, {krita, true}},
           file + allocated(krita));
    const fs::path sublime = appImage(tree, "home/Applications/Sublime_Text-4169-x86_64.AppImage", 60000);
    const fs::path sublimeEntry = userEntry("sublime_text", "Sublime Text", "Exec=~/Applications/Sublime_Text-4169-x86_64.AppImage %F\n");
    const fs::path sublimeData = tree.file("home/.config/sublime-text/Packages/User/prefs", 5000).parent_path().parent_path().parent_path();
    expect("SublimeTextFindsItsSettings", "sublime_text", {{sublimeEntry, true}, {sublime, true}, {sublimeData, true}}, file + allocated(sublime));
    // Leftovers of other programs, named only beginning with the application's name.
    const fs::path cursor = appImage(tree, "home/Applications/Cursor-0.40.4-x86_64.AppImage", 70000);
    const fs::path cursorEntry = userEntry("cursor", "Cursor", "Exec=~/Applications/Cursor-0.40.4-x86_64.AppImage --no-sandbox\n");
    const fs::path cursorData = tree.file("home/.config/Cursor/state", 20000).parent_path();
    const fs::path cursorAgent = tree.file("home/.local/share/cursor-agent/versions/1/cursor-agent", 4000).parent_path().parent_path().parent_path();
    link(cursorAgent / "versions/1/cursor-agent", ".local/bin/cursor-agent");
    expect("CursorLeavesCursorAgent", "cursor", {{cursorEntry, true}, {cursor, true}, {cursorData, true}, {cursorAgent, false}}, file + allocated(cursor));
    const fs::path bitwarden = appImage(tree, "home/Applications/Bitwarden-2024.6.2-x86_64.AppImage", 80000);
    const fs::path bitwardenEntry = userEntry("bitwarden", "Bitwarden", "Exec=~/Applications/Bitwarden-2024.6.2-x86_64.AppImage\n");
    const fs::path bitwardenData = tree.file("home/.config/Bitwarden/data.json", 7000).parent_path();
    const fs::path bitwardenCli = tree.file("home/.config/Bitwarden CLI/data.json", 3000).parent_path();
    expect("BitwardenLeavesBitwardenCli", "bitwarden", {{bitwardenEntry, true}, {bitwarden, true}, {bitwardenData, true}, {bitwardenCli, false}},
           file + allocated(bitwarden));
    // A browser's web app whose browser is gone: its folder is still there.
    tree.folder("opt/google/chrome/WidevineCdm");
    const fs::path youtubeEntry = userEntry("chrome-agimnkijcaahngcdmfeangaknmldooml-Default", "YouTube",
                                            "Exec=/opt/google/chrome/google-chrome --profile-directory=Default --app-id=agimnkijcaahngcdmfeangaknmldooml\n");
    const fs::path youtubeDlCache = tree.file("home/.cache/youtube-dl/x", 9000).parent_path();
    const fs::path youtubeDlConfig = tree.file("home/.config/youtube-dl/config", 1000).parent_path();
    expect("WebAppOfAGoneBrowserLeavesOnlyItsLauncher", "chrome-agimnkijcaahngcdmfeangaknmldooml-Default",
           {{youtubeEntry, true}, {youtubeDlCache, false}, {youtubeDlConfig, false}}, file);

    // On storage that is not there now, the program is not gone: a drive not plugged in, a link left
    // to where it was, an empty mount point, a drive the machine mounts that is not mounted.
    tree.folder("media/u");
    const fs::path playerEntry = userEntry("mediaplayer", "MediaPlayer", "Exec=/media/u/Data/Apps/MediaPlayer.AppImage %U\n");
    const fs::path playerConfig = tree.file("home/.config/MediaPlayer/config", 9000).parent_path();
    const fs::path playerData = tree.file("home/.local/share/mediaplayer/library.db", 1000).parent_path();
    expect("ProgramOnAnUnpluggedDriveStays", "mediaplayer", {{playerEntry, false}, {playerConfig, false}, {playerData, false}}, file);
    link(tree.path() / "media/u/Data/Tunes/tunes", "Links/tunes");
    const fs::path tunesEntry = userEntry("tunes", "Tunes", "Exec=~/Links/tunes\n");
    const fs::path tunesData = tree.file("home/.config/tunes/library", 1000).parent_path();
    expect("LinkToAnUnpluggedDriveStays", "tunes", {{tunesEntry, false}, {tunesData, false}}, file);
    tree.folder("mnt/usb");
    const fs::path usbEntry = userEntry("stick", "Stick", "Exec=/mnt/usb/Stick.AppImage\n");
    const fs::path usbData = tree.file("home/.config/Stick/config", 1000).parent_path();
    expect("EmptyMountPointStays", "stick", {{usbEntry, false}, {usbData, false}}, file);
    tree.folder("media/u/Backup/Apps");
    const fs::path kdenliveEntry = userEntry("kdenlive", "Kdenlive", "Exec=/media/u/Backup/Apps/kdenlive.AppImage\n");
    const fs::path kdenliveData = tree.file("home/.config/kdenlive/rc", 1000).parent_path();
    expect("ProgramInMediaStays", "kdenlive", {{kdenliveEntry, false}, {kdenliveData, false}}, file);
    tree.folder("run/media/u/Stick/Apps");
    const fs::path shotcutEntry = userEntry("shotcut", "Shotcut", "Exec=/run/media/u/Stick/Apps/shotcut.AppImage\n");
    const fs::path shotcutData = tree.file("home/.config/Shotcut/rc", 1000).parent_path();
    expect("ProgramInRunMediaStays", "shotcut", {{shotcutEntry, false}, {shotcutData, false}}, file);
    tree.write("etc/fstab", "# <file system> <mount point> <type> <options> <dump> <pass>\nUUID=1 / ext4 defaults 0 1\n"
                            "UUID=2 /home/HDD ext4 defaults,nofail 0 2\n/dev/sdb1 /data ext4 defaults 0 2\n/dev/sdc1 /srv/apps/ ext4 defaults 0 2\n"
                            "#/dev/sdd1 /games ext4 defaults 0 2\n  # /dev/sdd2 /games ext4 defaults 0 2\n/swapfile none swap sw 0 0\n");
    tree.write("proc/self/mountinfo", "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n36 22 8:33 / /srv/apps rw shared:9 - ext4 /dev/sdc1 rw\n");
    tree.folder("home/HDD");
    const fs::path rpcs3Entry = userEntry("rpcs3", "RPCS3", "Exec=~/HDD/rpcs3-v0.0.32-x86_64.AppImage\n");
    const fs::path rpcs3Data = tree.file("home/.config/rpcs3/dev_hdd0/savedata/x", 9000).parent_path().parent_path().parent_path();
    expect("Rpcs3OnADriveNotMountedStays", "rpcs3", {{rpcs3Entry, false}, {rpcs3Data, false}}, file);
    tree.folder("data");
    const fs::path cemuEntry = userEntry("info.cemu.Cemu", "Cemu", "Exec=/data/Cemu\n");
    const fs::path cemuData = tree.file("home/.local/share/Cemu/mlc01/save", 9000).parent_path().parent_path();
    expect("CemuOnADataDriveNotMountedStays", "info.cemu.Cemu", {{cemuEntry, false}, {cemuData, false}}, file);
    tree.folder("srv/apps");
    const fs::path ardourEntry = userEntry("ardour", "Ardour", "Exec=/srv/apps/ardour.AppImage\n");
    const fs::path ardourData = tree.file("home/.config/ardour/rc", 1000).parent_path();
    expect("ProgramGoneFromAMountedDriveLeavesTheLauncher", "ardour", {{ardourEntry, true}, {ardourData, false}}, file);

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

    // A program that is not found proves nothing: the newer version beside it, a name read wrongly.
    appImage(tree, "home/Applications/Standard-Notes-3.181.0-linux-x86_64.AppImage", 40000);
    const fs::path notesEntry = userEntry("standard-notes", "Standard Notes", "Exec=~/Applications/Standard-Notes-3.180.0-linux-x86_64.AppImage\n");
    const fs::path notesData = tree.file("home/.config/Standard Notes/notes.db", 9000).parent_path();
    expect("StandardNotesAtAnOldVersionLeavesTheLauncher", "standard-notes", {{notesEntry, true}, {notesData, false}}, file);
    appImage(tree, "home/Applications/Todoist%20Setup%209.4.0.AppImage", 40000);
    const fs::path todoistEntry = userEntry("todoist", "Todoist", "Exec=\"/home/Applications/Todoist%%20Setup%%209.4.0.AppImage\" --no-sandbox %U\n");
    const fs::path todoistData = tree.file("home/.config/Todoist/state", 2000).parent_path();
    expect("TodoistWithPercentsInItsNameIsFound", "todoist", {{todoistEntry, false}, {todoistData, false}}, file);

    // Found under its name as written in any language.
    const fs::path writer = compiled(tree, "home/.local/bin/writer", 20000);
    const fs::path writerEntry = userEntry("org.example.Writer", "Writer", "Name[ar]=\u0643\u0627\u062a\u0628\nExec=writer\n");
    const fs::path writerData = tree.file("home/.config/Writer/prefs", 2000).parent_path();
    expect("WriterFindsItsSettingsInArabic", "org.example.Writer", {{writerEntry, true}, {writer, true}, {writerData, true}}, file + allocated(writer), "ar");

    // The user's own folders hold much more than one application.
    compiled(tree, "home/Downloads/gitui", 9000);
    expect("ProgramInDownloadsStays", "gitui", {{userEntry("gitui", "gitui", "Exec=~/Downloads/gitui\n"), false}}, file);
    compiled(tree, "home/Desktop/game", 9000);
    expect("ProgramOnTheDesktopStays", "game", {{userEntry("game", "game", "Exec=~/Desktop/game\n"), false}}, file);

    // What another entry names is that entry's: its working folder and the program it runs there,
    // a folder its shell changes into, a program "env -C" runs, what its actions and TryExec name;
    // autostart entries and launchers on the Desktop are entries too.
    tree.file("usr/bin/distrobox-enter", 4000);
    auto anAppImage = [&](const std::string& id, const std::string& name, const std::string& image, const std::string& exec = "") {
        const fs::path program = appImage(tree, "home/Applications/" + image, 40000);
        return std::pair{userEntry(id, name, "Exec=" + (exec.empty() ? "~/Applications/" + image : exec) + "\n"), program};
    };
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
    // A folder linked to a drive that is not plugged in may come back: nothing of its program's goes.
    tree.folder("media");
    link(tree.path() / "media/u/Stick/Apps", "Portables");
    expect("ProgramBehindALinkToAnUnpluggedDriveStays", "fret",
           {{userEntry("fret", "Fret", "Exec=~/Portables/Fret-2.1.AppImage\n"), false}, {tree.file("home/.config/Fret/tabs", 1000).parent_path(), false}}, file);
    tree.folder("games");
    expect("ProgramBelowACommentedOutMountLeavesTheLauncher", "arcade", {{userEntry("arcade", "Arcade", "Exec=/games/Arcade.AppImage\n"), true}}, file);
    // Neither ELF nor "#!": a script without its first line, a jar. No compiled program.
    executable(tree.write("home/.local/bin/notary", "notary() { echo \"$@\"; }\nnotary \"$@\"\n"));
    expect("ShebanglessScriptInLocalBinStays", "notary", {{userEntry("notary", "Notary", "Exec=notary\n"), false}}, file);
    executable(tree.write("home/.local/bin/jarvis", "PK\x03\x04" + std::string(3000, 'j')));
    expect("JarInLocalBinStays", "jarvis", {{userEntry("jarvis", "Jarvis", "Exec=~/.local/bin/jarvis\n"), false}}, file);

    // Another file system mounted in a leftover, or on it (a vault, a drive), is no application's: a
    // bind mount of this very file system shows only in the mount table.
    const fs::path vault = appImage(tree, "home/Applications/Vaultly-1.13.0-x86_64.AppImage", 40000);
    const fs::path vaultEntry = userEntry("org.example.Vaultly", "Vaultly", "Exec=~/Applications/Vaultly-1.13.0-x86_64.AppImage\n");
    const fs::path vaultData = tree.file("home/.local/share/Vaultly/mnt/Private/tax-return.pdf", 8000).parent_path().parent_path().parent_path();
    const fs::path retro = appImage(tree, "home/Applications/Retro-1.19-x86_64.AppImage", 40000);
    const fs::path retroEntry = userEntry("org.example.Retro", "Retro", "Exec=~/Applications/Retro-1.19-x86_64.AppImage\n");
    const fs::path retroData = tree.file("home/.config/retro/saves/zelda.srm", 8000).parent_path().parent_path();
    std::ofstream(tree.path() / "proc/self/mountinfo", std::ios::app) << "40 22 8:1 /vault /home/.local/share/Vaultly/mnt/Private rw - ext4 /dev/sda1 rw\n"
                                                                       << "41 22 8:1 /retro /home/.config/retro rw - ext4 /dev/sda1 rw\n";
    expect("LeftoverHoldingAMountIsNotTicked", "org.example.Vaultly", {{vaultEntry, true}, {vault, true}, {vaultData, false}}, file + allocated(vault));
    expect("LeftoverThatIsAMountPointIsNotTicked", "org.example.Retro", {{retroEntry, true}, {retro, true}, {retroData, false}}, file + allocated(retro));
    // A system entry stays whoever runs the app, root included.
    tree.folder("usr/local/bin");
    const fs::path oldtoolEntry = entry("usr/local/share/applications/oldtool.desktop", "Old Tool", "Exec=/usr/local/bin/oldtool\n");
    expect("SystemEntryOfAMissingProgramIsNotTicked", "oldtool", {{oldtoolEntry, false}}, allocated(oldtoolEntry));
    // A store's key copied into the user's own entry: no such Flatpak or snap is installed.
    const fs::path fragments = appImage(tree, "home/Applications/Fragments-3.0.AppImage", 30000);
    const fs::path fragmentsEntry = userEntry("de.haeckerfelix.Fragments", "Fragments", "Exec=~/Applications/Fragments-3.0.AppImage\nX-Flatpak=de.haeckerfelix.Fragments\n");
    expect("CopiedFlatpakKeyProvesNoFlatpak", "de.haeckerfelix.Fragments", {{fragmentsEntry, true}, {fragments, true}}, file + allocated(fragments));
    const fs::path spot = appImage(tree, "home/Applications/Spot-0.4.AppImage", 30000);
    const fs::path spotEntry = userEntry("spot_spot", "Spot", "Exec=~/Applications/Spot-0.4.AppImage\nX-SnapInstanceName=spot\n");
    expect("CopiedSnapKeyProvesNoSnap", "spot_spot", {{spotEntry, true}, {spot, true}}, file + allocated(spot));
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

    roots_ = SystemRoots::fixture(tree.path());
    for (const char* exports : {"home/.local/share/flatpak/exports/share", "var/lib/flatpak/exports/share", "var/lib/snapd/desktop"})
        roots_.dataDirs.push_back(tree.path() / exports);
    SystemRoots::install(roots_);
}

// One home for every case: it is laid out once, and each application listed once.
InstalledHome& sharedHome() {
    static InstalledHome home;
    return home;
}

class ApplicationFate : public ::testing::TestWithParam<const char*> {};

}  // namespace

// One rule for every kind of install: an application goes only with its own program, a compiled one
// or an AppImage of the user's that stands alone, that no other entry runs, that lies among no other
// application's files and that is named after it; or, when the user chooses it, with the folder it
// was unpacked into. A script is never an application's own program; a program that is not found
// leaves only its launcher to take. Nothing of an application that stays is ticked, nor anything that
// holds another application; every size is what would move, hidden contents included.
TEST_P(ApplicationFate, ShowsWhatItsProgramProves) {
    InstalledHome& home = sharedHome();
    const auto expected = home.expected.find(GetParam());
    ASSERT_NE(expected, home.expected.end()) << "no such case";
    const Listed& found = home.listed(expected->second.language, expected->second.id);
    ASSERT_EQ(found.items.empty(), expected->second.items.empty()) << expected->second.id << (found.items.empty() ? " not listed" : " listed");
    EXPECT_EQ(found.items, expected->second.items);
    EXPECT_EQ(found.size, expected->second.size);
}

INSTANTIATE_TEST_SUITE_P(Cases, ApplicationFate, ::testing::ValuesIn(caseNames), [](const auto& row) { return std::string(row.param); });

TEST(ApplicationFates, EveryApplicationIsACase) {
    InstalledHome& home = sharedHome();
    std::set<std::string> named(caseNames.begin(), caseNames.end());
    std::set<std::string> expected;
    std::set<std::string> caseIDs;
    for (const auto& [name, each] : home.expected) {
        expected.insert(name);
        if (!each.items.empty()) caseIDs.insert(each.id);
    }
    EXPECT_EQ(named, expected);
    std::set<std::string> ids;
    for (const InstalledApplication& application : home.applications("en")) ids.insert(application.desktopFileID.toStdString());
    EXPECT_EQ(ids, caseIDs);
}

// Whatever the application, in whatever language: either its own program is ticked, or none of its
// leftovers is.
TEST(ApplicationFates, NoLeftoverIsTickedWithoutItsProgram) {
    for (const char* language : {"en", "ar"})
        for (const auto& [id, listed] : sharedHome().listAll(language)) {
            const auto& artifacts = listed.artifacts;
            const bool programTicked = std::any_of(artifacts.begin() + (artifacts.empty() ? 0 : 1), artifacts.end(), [](const AppArtifact& artifact) {
                return artifact.category == ArtifactCategory::application && artifact.isSelected;
            });
            const bool leftoverTicked = std::any_of(artifacts.begin(), artifacts.end(), [](const AppArtifact& artifact) {
                return artifact.category != ArtifactCategory::application && artifact.isSelected;
            });
            EXPECT_TRUE(programTicked || !leftoverTicked) << id << " in " << language;
        }
}

// Whatever the application: no ticked item is, or holds, a place that another entry names (its
// program, its working folder, a path in its commands or its actions), autostart and Desktop entries too.
TEST(ApplicationFates, NothingTickedHoldsWhatAnotherEntryNames) {
    InstalledHome& home = sharedHome();
    const auto named = home.namedPlaces();
    for (const auto& [id, listed] : home.listAll("en")) {
        const fs::path entry = fs::canonical(listed.artifacts.at(0).path);
        for (const AppArtifact& artifact : listed.artifacts) {
            const fs::path item = fs::canonical(artifact.path.parent_path()) / artifact.path.filename();
            for (const auto& [other, places] : named)
                for (const fs::path& place : places)
                    EXPECT_FALSE(artifact.isSelected && other != entry && liesWithin(place, item)) << id << ": " << item << " holds " << place << " of " << other;
        }
    }
}

// Each item measured whole, hidden contents included; locked, each naming the tool that removes it.
TEST(ApplicationFates, StoresAndPackagesAreLockedAndMeasuredWhole) {
    InstalledHome& home = sharedHome();
    const std::string thunderbird = "org.mozilla.Thunderbird";
    const auto& mail = home.listed("en", thunderbird).artifacts.at(1);
    EXPECT_EQ(mail.size, du(home.home(".var/app/" + thunderbird)));
    EXPECT_GT(mail.size, 700000);
    EXPECT_LT(mail.size, 2 * 700000);
    using Lock = std::pair<std::string, PackageKind>;
    auto lock = [&](const std::string& id) {
        const AppArtifact& entry = home.listed("en", id).artifacts.at(0);
        return Lock{entry.package, entry.packageKind};
    };
    EXPECT_EQ(lock(thunderbird), (Lock{thunderbird, PackageKind::userFlatpak}));
    EXPECT_EQ(lock("org.gnome.Maps"), (Lock{"org.gnome.Maps", PackageKind::flatpak}));
    EXPECT_EQ(lock("firefox_firefox"), (Lock{"firefox", PackageKind::snap}));
    EXPECT_EQ(lock("htop"), (Lock{"htop", PackageKind::debian}));
    EXPECT_EQ(lock("vim"), (Lock{"vim", PackageKind::debian}));
}

// What was listed goes, and nothing else: the AppImage without the package's settings, an unpacked
// folder once chosen; a launcher's settings that hold a game stay unticked once it is gone.
TEST(ApplicationFates, WhatGoesIsWhatWasTicked) {
    InstalledHome home;
    auto artifacts = [&](const std::string& id) { return home.listed("en", id).artifacts; };
    EXPECT_EQ(home.service.moveToTrash(artifacts("appimagekit_htop")).size(), 2u);
    EXPECT_FALSE(fs::exists(home.home("Applications/htop-3.3.0-x86_64.AppImage")));
    EXPECT_TRUE(fs::exists(home.home(".config/htop")));

    auto firefox = artifacts("firefox");
    for (AppArtifact& artifact : firefox) artifact.isSelected = true;
    EXPECT_EQ(home.service.moveToTrash(firefox).size(), 2u);
    EXPECT_FALSE(fs::exists(home.home("firefox")));
    EXPECT_FALSE(fs::exists(home.home(".local/share/applications/firefox.desktop")));

    // balenaEtcher goes whole; Godot's folder, where its AppImage lay, is then only offered.
    EXPECT_EQ(home.service.moveToTrash(artifacts("balena-etcher")).size(), 3u);
    EXPECT_FALSE(fs::exists(home.home("Apps/balenaEtcher-1.18.11-x64.AppImage")));

    fs::remove(home.home(".itch/itch"));
    const auto after = home.listAll("en");
    EXPECT_EQ(after.at("io.itch.itch").items, (Items{{home.home(".local/share/applications/io.itch.itch.desktop"), true}, {home.home(".config/itch"), false}}));
    EXPECT_EQ(after.at("org.godotengine.Godot").items, (Items{{home.home(".local/share/applications/org.godotengine.Godot.desktop"), false},
                                                             {home.home("Apps"), false},
                                                             {home.home(".local/share/godot"), false}}));
    EXPECT_FALSE(after.contains("balena-etcher"));
}

// What is selected is what the move takes: an AppImage inside its ticked data folder counts once, and
// goes with that folder even unticked.
TEST(ApplicationFates, AnItemInsideATickedOneCountsOnce) {
    InstalledHome& home = sharedHome();
    auto artifacts = home.listed("en", "sh.cider.Cider").artifacts;
    ASSERT_EQ(artifacts.size(), 3u);
    EXPECT_EQ(ArtifactSelection::bytes(artifacts), artifacts[0].size + du(home.home(".local/share/cider")));
    artifacts[1].isSelected = false;
    EXPECT_TRUE(ArtifactSelection::goes(artifacts[1], artifacts));
    artifacts[2].isSelected = false;
    EXPECT_FALSE(ArtifactSelection::goes(artifacts[1], artifacts));
}
