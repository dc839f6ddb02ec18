#pragma once

#include <string>

// Processor detail of the monitor.
struct CPUDetail {
    double user = 0;    // share of all processor time in user mode (normal and low priority), last interval
    double system = 0;  // share in kernel mode, last interval
    double loadAverage = 0;  // one minute
    int performanceCores = 0;
    int efficiencyCores = 0;
    int logicalCores = 0;
    double sessionAverage = 0;  // running mean of processor use since the first sample
    double sessionPeak = 0;
    std::string chipName;

    bool operator==(const CPUDetail&) const = default;
};
