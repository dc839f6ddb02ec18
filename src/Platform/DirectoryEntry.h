#pragma once

#include "Foundation/Instant.h"

#include <cstdint>
#include <optional>
#include <string>

// One entry of a directory as the bulk reader lists it.
struct DirectoryEntry {
    enum class Kind { file, directory, other };

    std::string name;  // bytes as the file system returns them; need not be UTF-8
    Kind type = Kind::other;
    std::int64_t allocatedSize = 0;  // bytes on disk; 0 for directories and other kinds
    std::optional<Instant> modified;  // read for files only
    std::int64_t logicalSize = 0;
    // For files: how many names the file has and, only where it has several, what tells it from others.
    std::uint32_t linkCount = 1;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool executable = false;  // a file with any execute bit set

    bool operator==(const DirectoryEntry&) const = default;
};
