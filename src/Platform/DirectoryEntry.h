#pragma once

#include "Foundation/Instant.h"

#include <cstdint>
#include <optional>
#include <string>

#include <sys/stat.h>

// One entry of a directory as the bulk reader lists it.
struct DirectoryEntry {
    enum class Kind { file, directory, other };
    // The kind a file's mode tells.
    static Kind kindOfMode(mode_t mode) { return S_ISREG(mode) ? Kind::file : S_ISDIR(mode) ? Kind::directory : Kind::other; }

    std::string name;  // bytes as the file system returns them; need not be UTF-8
    Kind type = Kind::other;
    std::int64_t allocatedSize = 0;  // bytes on disk; 0 for directories and other kinds
    std::optional<Instant> modified;  // read for files only
    std::int64_t logicalSize = 0;
    // For files: how many names the file has and, only where it has several, what tells it from others.
    std::uint32_t linkCount = 1;
    bool executable = false;  // for files: someone may run it
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    bool operator==(const DirectoryEntry&) const = default;
};
