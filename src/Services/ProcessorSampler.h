#pragma once

#include "Platform/ProcessorStatistics.h"
#include "Platform/SystemRoots.h"
#include "Models/CPUDetail.h"

#include <cstdint>
#include <optional>

// The processor's use since the previous sample, from the kernel's summed tick counters.
class ProcessorSampler {
public:
    explicit ProcessorSampler(const SystemRoots& roots);

    // The share of processor time in use since the previous call, 0 to 1, with cpu.user and cpu.system
    // updated; 0 on the first call and when no tick has passed (the shares keep their values). Absent
    // when the counters cannot be read: nothing changes and the caller repeats its last value.
    std::optional<double> cpuUsage(CPUDetail& cpu);

private:
    struct Ticks {
        std::uint64_t user;
        std::uint64_t system;
        std::uint64_t total;
    };
    ProcessorStatistics statistics_;
    std::optional<Ticks> previous_;
};
