#pragma once

#include "Models/ScanProgress.h"

#include <cstdint>
#include <mutex>
#include <string>

// The shared progress of a parallel walk: workers add once per finished directory, the polling
// loop reads once per tick.
class ProgressCounters {
public:
    explicit ProgressCounters(std::string path = {});
    void add(std::int64_t files, std::int64_t bytes, const std::string& path);  // bytes saturate
    ScanProgress read() const;

private:
    mutable std::mutex lock_;
    ScanProgress value_;
};
