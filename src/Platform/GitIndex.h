#pragma once

#include "Platform/TrackedPaths.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// What a git repository tracks in its work tree, read from its index file as git reads it, without
// running git: versions 2 to 4, SHA-1 and SHA-256 repositories, a split index with its shared index,
// a sparse index's folders and submodules kept whole.
namespace GitIndex {

// The paths an index's bytes list, its object names `hashSize` bytes long (20 for SHA-1, 32 for
// SHA-256). Nothing when the bytes are not one sound index: another signature or version, a
// checksum that does not match, an entry or extension running past the end. `sharedIndex`, where
// given, is set to the name of the shared index file a split index names ("sharedindex.<hash>").
std::optional<TrackedPaths> parse(std::string_view bytes, std::size_t hashSize, std::string* sharedIndex = nullptr);

// The paths the repository whose git folder is `gitFolder` tracks: none when it has no index (it has
// never been used with a work tree); nothing, as it cannot be told, when its index or the shared
// index it names cannot be read or is not sound.
std::optional<TrackedPaths> tracked(const std::filesystem::path& gitFolder, std::size_t hashSize);

}  // namespace GitIndex
