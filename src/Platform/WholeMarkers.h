#pragma once

#include "Models/WholeKind.h"
#include "Platform/DirectoryEntry.h"

#include <filesystem>
#include <optional>
#include <span>
#include <string_view>

// Tells a folder that marks a whole, from what the tools that make such folders keep in them: a
// repository's store (".git", ".hg"...), an environment's own file ("pyvenv.cfg", "conda-meta"), a
// cache tag with its signature, a sync client's markers, a Windows prefix's "drive_c" beside its
// "system.reg", and the folders those tools name themselves ("node_modules", "site-packages",
// "steamapps"...). Everything below a marked folder belongs to its whole. A marker whose content
// cannot be read to confirm it counts: a whole that is not sure is a whole.
namespace WholeMarkers {

// Whether an entry of this name may mark the folder that holds it or be a whole itself: a cheap
// first test, so that a walk keeps only these of the entries it reads.
bool mayMark(std::string_view entryName);

// The whole that the folder named `folderName` (its last path component) is, given its entries
// (all of them, or at least those mayMark keeps). `folder` is the folder open (O_PATH will do) for
// the markers whose content confirms them; -1 counts such markers unread, so as wholes.
std::optional<WholeKind> wholeMarked(int folder, std::string_view folderName, std::span<const DirectoryEntry> entries);

// The same for the folder at `path`, reading its entries; nothing when it cannot be listed.
std::optional<WholeKind> wholeMarkedAt(const std::filesystem::path& path);

}  // namespace WholeMarkers
