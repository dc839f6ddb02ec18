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

    bool operator==(const LargeFileRecord&) const = default;
};
