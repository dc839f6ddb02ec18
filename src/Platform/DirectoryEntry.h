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
    std::uint32_t links = 1;  // names of a file (hard links); read for files only

    bool operator==(const DirectoryEntry&) const = default;
};
