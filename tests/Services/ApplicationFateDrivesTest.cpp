#include "Services/InstalledHome.h"

#include <array>
#include <fstream>

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace InstalledFiles;

// Programs on storage that is not there now, leftovers that hold a mount, keys copied from a store.
void InstalledHome::plantDrives() {
    const std::int64_t file = entryBytes_;
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


    // A folder linked to a drive that is not plugged in may come back: nothing of its program's goes.
    tree.folder("media");
    link(tree.path() / "media/u/Stick/Apps", "Portables");
    expect("ProgramBehindALinkToAnUnpluggedDriveStays", "fret",
           {{userEntry("fret", "Fret", "Exec=~/Portables/Fret-2.1.AppImage\n"), false}, {tree.file("home/.config/Fret/tabs", 1000).parent_path(), false}}, file);
    tree.folder("games");
    expect("ProgramBelowACommentedOutMountLeavesTheLauncher", "arcade", {{userEntry("arcade", "Arcade", "Exec=/games/Arcade.AppImage\n"), true}}, file);

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
}

namespace {

constexpr std::array driveCases{
    "ProgramOnAnUnpluggedDriveStays", "LinkToAnUnpluggedDriveStays", "EmptyMountPointStays", "ProgramInMediaStays",
    "ProgramInRunMediaStays", "Rpcs3OnADriveNotMountedStays", "CemuOnADataDriveNotMountedStays",
    "ProgramGoneFromAMountedDriveLeavesTheLauncher", "ProgramBehindALinkToAnUnpluggedDriveStays",
    "ProgramBelowACommentedOutMountLeavesTheLauncher", "LeftoverHoldingAMountIsNotTicked", "LeftoverThatIsAMountPointIsNotTicked",
    "SystemEntryOfAMissingProgramIsNotTicked", "CopiedFlatpakKeyProvesNoFlatpak", "CopiedSnapKeyProvesNoSnap",
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Drives, ApplicationFate, ::testing::ValuesIn(driveCases), [](const auto& row) { return std::string(row.param); });
