#pragma once

#include "Platform/SystemRoots.h"

#include <string>

// What the machine's processor is: read once, when the monitor is made.
struct ProcessorInfo {
    int performanceCores = 0;  // logical processors of the big cores on a hybrid chip; 0 on a uniform one
    int efficiencyCores = 0;   // logical processors of the small cores; 0 on a uniform chip
    int logicalCores = 1;      // all online logical processors
    std::string chipName;      // the brand name, empty when the kernel does not report one

    static ProcessorInfo read(const SystemRoots& roots);
};
