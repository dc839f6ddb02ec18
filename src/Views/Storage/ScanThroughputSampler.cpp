#include "Views/Storage/ScanThroughputSampler.h"

#include <algorithm>
#include <cmath>
#include <limits>

void ScanThroughputSampler::begin(std::int64_t bytesSeen) {
    samples_.clear();
    previous_ = bytesSeen;
}

void ScanThroughputSampler::sample(std::int64_t bytesSeen) {
    // Subtract in double: a count that jumped from negative garbage must not overflow.
    samples_.push_back(std::max(double(bytesSeen) - double(previous_), 0.0));
    if (samples_.size() > capacity) samples_.erase(samples_.begin(), samples_.end() - capacity);
    previous_ = bytesSeen;
}

std::uint64_t ScanThroughputSampler::speed() const {
    if (samples_.empty()) return 0;
    const double perSecond = std::max(samples_.back() / intervalSeconds, 0.0);
    if (perSecond >= double(std::numeric_limits<std::uint64_t>::max())) return std::numeric_limits<std::uint64_t>::max();
    return std::uint64_t(perSecond);
}
