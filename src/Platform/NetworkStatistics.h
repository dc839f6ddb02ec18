#pragma once

#include "Platform/KernelFile.h"
#include "Platform/SystemRoots.h"

#include <cstdint>
#include <optional>

// Bytes received and sent since boot.
struct NetworkTotals {
    std::uint64_t received = 0;
    std::uint64_t sent = 0;
};

// Sums the 64-bit byte counters of /proc/net/dev over every interface but loopback, up or down.
class NetworkStatistics {
public:
    explicit NetworkStatistics(const SystemRoots& roots);

    // Absent when the counters cannot be read.
    std::optional<NetworkTotals> read();

private:
    KernelFile dev_;
};
