#include "Services/HashMeter.h"

#include "Foundation/SaturatingSum.h"

void HashMeter::addBytes(std::int64_t count) {
    std::lock_guard lock(lock_);
    bytes_ = saturatingSum(bytes_, count);
}

void HashMeter::addFile() {
    std::lock_guard lock(lock_);
    ++files_;
}

void HashMeter::setPath(const std::string& path) {
    std::lock_guard lock(lock_);
    path_ = path;
}

void HashMeter::cancel() {
    std::lock_guard lock(lock_);
    cancelled_ = true;
}

bool HashMeter::isCancelled() const {
    std::lock_guard lock(lock_);
    return cancelled_;
}

HashMeter::Reading HashMeter::read() const {
    std::lock_guard lock(lock_);
    return {bytes_, files_, path_};
}
