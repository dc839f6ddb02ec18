#pragma once

#include <cstdint>
#include <vector>

// Turns the growing bytes-seen count of a running scan into bytes read per interval, for the
// scanning card's speed and sparkline. The caller ticks it every interval while a scan runs.
class ScanThroughputSampler {
public:
    static constexpr std::size_t capacity = 120;
    static constexpr double intervalSeconds = 0.4;

    // A scan started: forget the old samples and measure from the count found now.
    void begin(std::int64_t bytesSeen);
    // One interval passed; a count that dropped (a restarted scan) gives 0, never less.
    void sample(std::int64_t bytesSeen);

    const std::vector<double>& samples() const { return samples_; }
    // Bytes per second over the last interval; 0 before the first.
    std::uint64_t speed() const;

private:
    std::vector<double> samples_;
    std::int64_t previous_ = 0;
};
