#pragma once

#include "Foundation/Instant.h"
#include "Platform/NetworkStatistics.h"
#include "Services/CounterRates.h"

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

// Turns the interfaces' byte totals into what was received and sent since the previous reading,
// interface by interface: an interface counts from its second reading on, as every interface does
// when the app starts, so one that arrives with counts (moved in from another namespace, plugged in
// after it carried traffic elsewhere) adds nothing for what it carried before; one whose totals went
// down, or that went away, adds nothing either.
class NetworkTraffic {
public:
    // Absent on the first reading, which only becomes the baseline.
    std::optional<CounterRates::Step> advance(const std::vector<InterfaceTotals>& interfaces, Instant now);

private:
    struct Totals {
        std::uint64_t received;
        std::uint64_t sent;
    };
    std::unordered_map<std::string, Totals> previous_;
    std::optional<Instant> previousDate_;
};
