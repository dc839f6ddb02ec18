#pragma once

#include <sys/resource.h>

#include <cstdint>

// The most memory this process has held resident so far, in bytes.
inline std::int64_t peakResidentBytes() {
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<std::int64_t>(usage.ru_maxrss) * 1024;  // reported in KiB
}
