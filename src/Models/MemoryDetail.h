#pragma once

#include "Models/MemoryPressure.h"

#include <cstdint>

// The memory split of the monitor, in bytes.
struct MemoryDetail {
    std::uint64_t app = 0;         // memory of processes
    std::uint64_t wired = 0;       // kernel memory that can be neither dropped nor swapped
    std::uint64_t compressed = 0;  // compressed pages kept in memory
    std::uint64_t cached = 0;      // file cache the kernel can drop
    std::uint64_t free = 0;
    std::uint64_t swapUsed = 0;
    MemoryPressure pressure = MemoryPressure::normal;

    bool operator==(const MemoryDetail&) const = default;
};
