#include "Services/CounterRates.h"

#include <algorithm>
#include <limits>

std::uint64_t CounterRates::truncated(double value) {
    if (!(value > 0)) return 0;
    if (value >= 18446744073709551615.0) return std::numeric_limits<std::uint64_t>::max();
    return static_cast<std::uint64_t>(value);
}

double CounterRates::interval(Instant previous, Instant now) { return std::max(now.secondsSince(previous), 0.2); }

std::optional<CounterRates::Step> CounterRates::advance(std::uint64_t first, std::uint64_t second, Instant now) {
    std::optional<Step> step;
    if (previous_) {
        const double seconds = interval(previous_->date, now);
        step = Step{};
        step->firstAdded = added(first, previous_->first);
        step->secondAdded = added(second, previous_->second);
        step->firstPerSecond = perSecond(static_cast<double>(step->firstAdded), seconds);
        step->secondPerSecond = perSecond(static_cast<double>(step->secondAdded), seconds);
    }
    previous_ = Baseline{first, second, now};
    return step;
}
