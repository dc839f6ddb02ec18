#include "Services/ProgressCounters.h"

#include "Models/SaturatingSum.h"

ProgressCounters::ProgressCounters(std::string path) { value_.path = std::move(path); }

void ProgressCounters::add(std::int64_t files, std::int64_t bytes, const std::string& path) {
    std::lock_guard lock(lock_);
    value_.filesSeen += files;
    value_.bytesSeen = saturatingSum(value_.bytesSeen, bytes);
    value_.path = path;
}

ScanProgress ProgressCounters::read() const {
    std::lock_guard lock(lock_);
    return value_;
}
