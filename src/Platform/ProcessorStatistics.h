#pragma once

#include "Platform/KernelFile.h"
#include "Platform/SystemRoots.h"

#include <cstdint>
#include <optional>

// The kernel's processor time counters summed over all processors, in clock ticks (the "cpu" line of
// /proc/stat).
struct ProcessorTicks {
    std::uint64_t user = 0;
    std::uint64_t nice = 0;
    std::uint64_t system = 0;
    std::uint64_t idle = 0;
    std::uint64_t iowait = 0;
    std::uint64_t irq = 0;
    std::uint64_t softirq = 0;
    std::uint64_t steal = 0;
};

class ProcessorStatistics {
public:
    explicit ProcessorStatistics(const SystemRoots& roots);

    std::optional<ProcessorTicks> read();

private:
    KernelFile stat_;
};
