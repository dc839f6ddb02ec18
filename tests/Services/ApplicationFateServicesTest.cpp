#include "Services/InstalledHome.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace InstalledFiles;

// What a service runs stays installed; what an engine keeps for another application stays.
namespace {

// Syncthing's own program, which its user unit starts at login: its device key must stay.
void syncthingUnit(InstalledHome& home) {
    executable(compiled(home.tree, "home/.local/bin/syncthing", 90000));
    const fs::path entry = home.userEntry("syncthing-ui", "Syncthing", "Exec=~/.local/bin/syncthing --browser-only\n");
    const fs::path unit = home.tree.write("home/.config/systemd/user/syncthing.service",
                                          "[Unit]\nDescription=Syncthing\n[Service]\nExecStart=-%h/.local/bin/syncthing serve --no-browser\nRestart=on-failure\n"
                                          "[Install]\nWantedBy=default.target\n");
    home.link("../syncthing.service", ".config/systemd/user/default.target.wants/syncthing.service");
    const fs::path key = home.tree.file("home/.config/syncthing/key.pem", 3000).parent_path();
    home.expect("SyncthingAUserUnitRunsStays", "syncthing-ui", {{entry, false}, {key, false}}, home.entryBytes(), {{key, unit}}, "syncthing.service");
}

// A unit enabled from elsewhere, only its link in a .wants folder, naming its program by the user's
// configuration folder.
void enabledUnitElsewhere(InstalledHome& home) {
    const auto [entry, image] = home.anAppImage("rclone-browser", "Rclone Browser", "Rclone-Browser-1.8-x86_64.AppImage");
    home.tree.write("usr/lib/systemd/user/rclone-browser.service", "[Service]\nExecStart=%E/../Applications/Rclone-Browser-1.8-x86_64.AppImage --tray\n");
    home.link("/usr/lib/systemd/user/rclone-browser.service", ".config/systemd/user/graphical-session.target.wants/rclone-browser.service");
    home.expect("AppImageAnEnabledUnitRunsStays", "rclone-browser", {{entry, false}}, home.entryBytes(), {}, "rclone-browser.service");
}

void dbusService(InstalledHome& home) {
    const auto [entry, image] = home.anAppImage("notifier", "Notifier", "Notifier-2.0-x86_64.AppImage");
    const fs::path service = home.tree.write("home/.local/share/dbus-1/services/org.example.Notifier.service",
                    "[D-BUS Service]\nName=org.example.Notifier\nExec=/home/Applications/Notifier-2.0-x86_64.AppImage --dbus-service\n");
    const fs::path data = home.tree.file("home/.config/Notifier/rules.json", 2000).parent_path();
    home.expect("AppImageADbusServiceRunsStays", "notifier", {{entry, false}, {data, false}}, home.entryBytes(), {{data, service}}, "org.example.Notifier.service");
}

void plasmaScript(InstalledHome& home) {
    const auto [entry, image] = home.anAppImage("clipper", "Clipper", "Clipper-1.2.AppImage");
    executable(home.tree.write("home/.config/autostart-scripts/clipper.sh", "#!/bin/sh\nexec \"$HOME/Applications/Clipper-1.2.AppImage\" --hidden\n"));
    home.expect("AppImagePlasmasAutostartScriptRunsStays", "clipper", {{entry, false}}, home.entryBytes(), {}, "clipper.sh");
}

// Godot keeps each game's saves in its own folder; LÖVE the same.
void godotWithAGame(InstalledHome& home) {
    const fs::path godot = executable(compiled(home.tree, "home/.local/bin/godot", 90000));
    const fs::path entry = home.userEntry("org.godotengine.Godot", "Godot", "Exec=~/.local/bin/godot %f\n");
    executable(compiled(home.tree, "home/Games/Brotato/Brotato.x86_64", 9000));
    home.userEntry("brotato", "Brotato", "Exec=~/Games/Brotato/Brotato.x86_64\n");
    home.tree.file("home/.local/share/godot/editor_settings-4.tres", 2000);
    const fs::path saves = home.tree.file("home/.local/share/godot/app_userdata/Brotato/save.json", 20000).parent_path();
    home.expect("GodotLeavesAGamesSaves", "org.godotengine.Godot", {{entry, true}, {godot, true}, {saves.parent_path().parent_path(), false}},
                home.entryBytes() + allocated(godot), {{saves.parent_path().parent_path(), saves}});
}

void loveWithAGame(InstalledHome& home) {
    const fs::path love = executable(compiled(home.tree, "home/.local/bin/love", 20000));
    const fs::path entry = home.userEntry("love", "LÖVE", "Exec=~/.local/bin/love %f\n");
    home.userEntry("Balatro", "Balatro", "Exec=steam steam://rungameid/2379780\n");
    const fs::path saves = home.tree.file("home/.local/share/love/Balatro/1/save.jkr", 20000).parent_path().parent_path();
    home.expect("LoveLeavesAGamesSaves", "love", {{entry, true}, {love, true}, {saves.parent_path(), false}}, home.entryBytes() + allocated(love),
                {{saves.parent_path(), saves}});
}

constexpr FreshCase serviceCases[]{
    {"SyncthingAUserUnitRunsStays", syncthingUnit},         {"AppImageAnEnabledUnitRunsStays", enabledUnitElsewhere},
    {"AppImageADbusServiceRunsStays", dbusService},         {"AppImagePlasmasAutostartScriptRunsStays", plasmaScript},
    {"GodotLeavesAGamesSaves", godotWithAGame},             {"LoveLeavesAGamesSaves", loveWithAGame},
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Services, FreshHomeFate, ::testing::ValuesIn(serviceCases), [](const auto& row) { return std::string(row.param.name); });
