#pragma once

#include <cstdint>

// Disk rates over the last interval and totals since the first disk sample, in bytes.
struct DiskIO {
    std::uint64_t readPerSecond = 0;
    std::uint64_t writePerSecond = 0;
    std::uint64_t sessionWritten = 0;
    std::uint64_t sessionRead = 0;

    bool operator==(const DiskIO&) const = default;
};
