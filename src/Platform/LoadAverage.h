#pragma once

#include "Platform/KernelFile.h"
#include "Platform/SystemRoots.h"

#include <optional>

// The one-minute load average (/proc/loadavg, what getloadavg reads).
class LoadAverage {
public:
    explicit LoadAverage(const SystemRoots& roots);

    std::optional<double> oneMinute();

private:
    KernelFile file_;
};
