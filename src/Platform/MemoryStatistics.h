#pragma once

#include "Platform/KernelFile.h"
#include "Platform/SystemRoots.h"

#include <cstdint>
#include <optional>

// The /proc/meminfo figures the monitor maps onto its memory split, in bytes. A field the kernel does
// not report (an older kernel, zswap not built in) reads 0.
struct MemoryReading {
    std::uint64_t total = 0;        // MemTotal
    std::uint64_t free = 0;         // MemFree
    std::uint64_t buffers = 0;      // Buffers
    std::uint64_t cached = 0;       // Cached (page cache, shared memory included)
    std::uint64_t shared = 0;       // Shmem (tmpfs and shared memory, also inside Cached)
    std::uint64_t reclaimableSlab = 0;  // SReclaimable
    std::uint64_t anonymous = 0;    // AnonPages
    std::uint64_t zswap = 0;        // Zswap (compressed pages held in memory)
    std::uint64_t swapTotal = 0;    // SwapTotal
    std::uint64_t swapFree = 0;     // SwapFree
};

// The share of the last ten seconds in which tasks stalled waiting for memory (/proc/pressure/memory),
// in percent.
struct MemoryStall {
    double some = 0;  // at least one task stalled
    double full = 0;  // every runnable task stalled
};

class MemoryStatistics {
public:
    explicit MemoryStatistics(const SystemRoots& roots);

    // Absent when meminfo cannot be read or names no total.
    std::optional<MemoryReading> read();
    // Absent on a kernel without pressure stall information.
    std::optional<MemoryStall> stall();

private:
    KernelFile meminfo_;
    KernelFile pressure_;
};
