#include "Services/NetworkTraffic.h"

std::optional<CounterRates::Step> NetworkTraffic::advance(const std::vector<InterfaceTotals>& interfaces, Instant now) {
    std::optional<CounterRates::Step> step;
    if (previousDate_) {
        step = CounterRates::Step{};
        for (const InterfaceTotals& interface : interfaces) {
            auto before = previous_.find(interface.name);
            if (before == previous_.end()) continue;
            step->firstAdded += CounterRates::added(interface.received, before->second.received);
            step->secondAdded += CounterRates::added(interface.sent, before->second.sent);
        }
        const double seconds = CounterRates::interval(*previousDate_, now);
        step->firstPerSecond = CounterRates::perSecond(static_cast<double>(step->firstAdded), seconds);
        step->secondPerSecond = CounterRates::perSecond(static_cast<double>(step->secondAdded), seconds);
    }
    previous_.clear();
    for (const InterfaceTotals& interface : interfaces) previous_[interface.name] = Totals{interface.received, interface.sent};
    previousDate_ = now;
    return step;
}
