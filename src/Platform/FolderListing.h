#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace FolderListing {

// The entries of one folder (not recursive, hidden ones included) in the order the file system
// returns them; empty when the folder cannot be listed.
std::optional<std::vector<std::filesystem::path>> entries(const std::filesystem::path& folder);

inline bool isHidden(const std::filesystem::path& entry) {
    return entry.filename().native().starts_with('.');
}

// A folder, or a link to one.
bool isFolder(const std::filesystem::path& path);

// A regular file, or a link to one, that this user may run.
bool isExecutableFile(const std::filesystem::path& path);

// The last extension without its dot, ASCII letters lowered: "E.PLIST" gives "plist".
std::string lowercaseExtension(const std::filesystem::path& entry);

}  // namespace FolderListing
