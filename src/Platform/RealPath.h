#pragma once

#include <filesystem>
#include <optional>

// The path with every symbolic link resolved; nothing (errno set) when it cannot be resolved.
std::optional<std::filesystem::path> realPath(const std::filesystem::path& path);
