#pragma once

#include <cstdint>

// Network totals since the first network sample, in bytes, and the highest download rate seen.
struct NetworkSession {
    std::uint64_t downloaded = 0;
    std::uint64_t uploaded = 0;
    std::uint64_t peakDown = 0;  // bytes per second

    bool operator==(const NetworkSession&) const = default;
};
