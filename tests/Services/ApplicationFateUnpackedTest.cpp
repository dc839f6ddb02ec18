#include "Services/InstalledHome.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace InstalledFiles;

// Applications unpacked into a folder of their own, and folders that are nobody's.
void InstalledHome::plantUnpackedFolders() {
    const std::int64_t file = entryBytes_;
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
}

namespace {

constexpr std::array unpackedCases{
    "UnpackedFirefoxIsOffered", "UnpackedCodeIsOffered", "UnpackedDiscordIsOffered", "UnpackedLocalSendIsOffered",
    "LauncherScriptOfItchIsOffered", "GameInsideItchsSettingsIsOffered", "FolderBehindALinkIsOfferedAsItIs", "FolderNotUtf8IsOffered",
    "TarballIdeIsOffered", "VersionControlledBuildStays", "LauncherHoldingAGameStays", "GameInsideALauncherStays",
    "AppImageInsideALaunchersFolderStays", "WrapperOfNethackStays", "NodeProjectStays", "PythonEnvironmentStays", "CondaInstallStays",
    "ProgramNamedThroughALinkStays", "ProgramOfAnotherUserStays", "FifoInAProgramsPlaceStays",
    "AppImageWithoutItsMarkStays",
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Unpacked, ApplicationFate, ::testing::ValuesIn(unpackedCases), [](const auto& row) { return std::string(row.param); });
