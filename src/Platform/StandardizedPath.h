#pragma once

#include <filesystem>

// The absolute form of a path with "." and ".." components and doubled or trailing slashes removed,
// by the text alone: symbolic links are not resolved, so a link stays a link.
std::filesystem::path standardizedPath(const std::filesystem::path& path);
