#pragma once

#include "Platform/MemoryStatistics.h"
#include "Platform/SystemRoots.h"
#include "Models/MemoryDetail.h"

#include <cstdint>
#include <optional>

// One memory reading: the split and the machine's memory in all.
struct MemorySample {
    MemoryDetail detail;
    std::uint64_t total = 0;
};

// The memory split of the monitor from the kernel's memory statistics and pressure stall figures.
class MemorySampler {
public:
    explicit MemorySampler(const SystemRoots& roots);

    // Absent when the statistics cannot be read; the caller keeps what it published last.
    std::optional<MemorySample> memoryUsage();

    static MemorySample split(const MemoryReading& reading, const std::optional<MemoryStall>& stall);

private:
    MemoryStatistics statistics_;
};
