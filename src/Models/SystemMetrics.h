#pragma once

#include <cstdint>
#include <optional>

// The headline figures of one monitor sample.
struct SystemMetrics {
    double cpuUsage = 0;  // 0 to 1
    std::uint64_t memoryUsed = 0;
    std::uint64_t memoryTotal = 0;
    std::uint64_t networkDownPerSecond = 0;
    std::uint64_t networkUpPerSecond = 0;
    std::optional<double> batteryPercent;  // a fraction from 0 to 1, despite the name
    bool isCharging = false;  // on external power
};
