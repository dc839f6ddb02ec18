#pragma once

#include "Platform/KernelFile.h"
#include "Platform/SystemRoots.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Bytes one interface received and sent since it was made (at boot, or when it was added).
struct InterfaceTotals {
    std::string name;
    std::uint64_t received = 0;
    std::uint64_t sent = 0;
};

// Reads the 64-bit byte counters of /proc/net/dev for every interface but loopback, up or down.
class NetworkStatistics {
public:
    explicit NetworkStatistics(const SystemRoots& roots);

    // In the kernel's order; absent when the counters cannot be read.
    std::optional<std::vector<InterfaceTotals>> read();

private:
    KernelFile dev_;
};
