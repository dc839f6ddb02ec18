#pragma once

#include "Foundation/Instant.h"

#include <cstdint>
#include <optional>
#include <string>

// One candidate for the largest-files list of a scan.
struct LargeFileRecord {
    std::string path;
    std::int64_t size = 0;  // allocated bytes
    std::optional<Instant> modified;
    // Where the file has other names, what tells it from others, so that it is listed once; 0 otherwise.
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    bool operator==(const LargeFileRecord&) const = default;
};
