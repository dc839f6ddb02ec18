#pragma once

#include "Platform/TrashError.h"

#include <filesystem>

// The freedesktop.org trash: the home trash for items on the home file system, otherwise
// $topdir/.Trash/$uid or $topdir/.Trash-$uid on the item's own mount.
namespace Trash {

// Moves the item (never following a final symbolic link) into the trash of its file system and
// returns its new location there. Never overwrites anything already in the trash. Throws TrashError.
std::filesystem::path moveToTrash(const std::filesystem::path& item);

}  // namespace Trash
