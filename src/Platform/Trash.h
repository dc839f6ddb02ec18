#pragma once

#include "Foundation/FileIdentity.h"
#include "Platform/TrashError.h"

#include <filesystem>
#include <optional>

// The freedesktop.org trash: the home trash for items on the home trash's mount, otherwise
// $topdir/.Trash/$uid or $topdir/.Trash-$uid on the top folder of the item's own mount. The shared
// $topdir/.Trash serves only while no one but root and the user can put another folder in place of
// the user's there.
namespace Trash {

struct Conditions {
    // Moves the item only while it is still this file; another one under its name is refused with
    // TrashError::Reason::changed.
    std::optional<FileIdentity> expected = {};
    // A link whose target is gone is moved as the link it is; by default it counts as nothing there,
    // as in the file manager.
    bool moveDanglingLinks = false;
};

// Moves the item (never following a final symbolic link) into the trash of its mount and returns its
// new location there; nothing when nothing is at the path. The look and the move act on one
// descriptor of the resolved parent folder. Paths with "." or ".." components, mount points, trash
// folders and anything inside one are refused. Never overwrites anything already in a trash.
// Throws TrashError.
std::optional<std::filesystem::path> moveToTrash(const std::filesystem::path& item, const Conditions& conditions = {});

}  // namespace Trash
