#pragma once

#include <filesystem>
#include <optional>

// The path with every symbolic link resolved; nothing (errno set) when it cannot be resolved.
std::optional<std::filesystem::path> realPath(const std::filesystem::path& path);

// A folder in the real form where it exists, so that a link cannot disguise it; lexically normal
// where it does not; no closing slash. For comparing folders by their text.
std::filesystem::path comparableFolder(const std::filesystem::path& path);

// Where an item is: its folder's links resolved and its own name kept, so that a link stays itself.
// As given when its folder cannot be resolved.
std::filesystem::path locatedPath(const std::filesystem::path& item);
