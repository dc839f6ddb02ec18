#include "Services/HashMeter.h"

#include "Foundation/SaturatingSum.h"

void HashMeter::addBytes(std::int64_t count) {
    if (count < 1) return;
    std::int64_t total = bytes_.load(std::memory_order_relaxed);
    while (!bytes_.compare_exchange_weak(total, saturatingSum(total, count), std::memory_order_relaxed)) {
    }
}

HashMeter::Reading HashMeter::read() const {
    Reading reading{bytes_.load(std::memory_order_relaxed), files_.load(std::memory_order_relaxed), std::nullopt};
    if (const char* path = path_.load(std::memory_order_acquire)) reading.path = path;
    return reading;
}
