#pragma once

#include "Foundation/Instant.h"

#include <cstdint>
#include <optional>

// Turns two byte totals that only grow (read and written, received and sent) into what was added and
// the per-second rates since the previous reading. A total that went down (a counter reset, a device
// that went away) adds 0; the interval is at least 0.2 s, so a clock stepped back cannot give a
// negative or endless rate.
class CounterRates {
public:
    struct Step {
        std::uint64_t firstAdded = 0;
        std::uint64_t secondAdded = 0;
        std::uint64_t firstPerSecond = 0;
        std::uint64_t secondPerSecond = 0;
    };

    // Absent on the first reading, which only becomes the baseline.
    std::optional<Step> advance(std::uint64_t first, std::uint64_t second, Instant now);

    static std::uint64_t added(std::uint64_t total, std::uint64_t previous) { return total >= previous ? total - previous : 0; }
    // Truncated toward zero; saturates instead of overflowing, and below zero reads 0.
    static std::uint64_t truncated(double value);
    static std::uint64_t perSecond(double amount, double seconds) { return truncated(amount / seconds); }
    // The seconds from one reading to the next, at least 0.2.
    static double interval(Instant previous, Instant now);

private:
    struct Baseline {
        std::uint64_t first;
        std::uint64_t second;
        Instant date;
    };
    std::optional<Baseline> previous_;
};
