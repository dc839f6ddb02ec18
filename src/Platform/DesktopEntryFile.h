#pragma once

#include <filesystem>
#include <string>
#include <vector>

// A .desktop file of an applications folder with its desktop-file ID: its path below that folder
// with "/" turned to "-" and the extension dropped, so "wine/Programs/Foo/Foo.desktop" is
// "wine-Programs-Foo-Foo". Entries of one ID mask each other, the first found winning.
struct DesktopEntryFile {
    std::filesystem::path file;
    std::string id;

    // Every .desktop file in and below `folder`, hidden ones and hidden folders left out, each
    // folder's entries in name order and a subfolder's where its name falls. `folder` and the folders
    // below it may be links, followed as the desktop follows them; no folder is read twice, so no tree
    // of links or mounts makes the walk loop. A folder that cannot be read adds nothing and stops
    // nothing; no file is opened, so a FIFO never blocks the walk.
    static std::vector<DesktopEntryFile> below(const std::filesystem::path& folder);

    bool operator==(const DesktopEntryFile&) const = default;
};
