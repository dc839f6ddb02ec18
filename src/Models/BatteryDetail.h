#pragma once

#include <optional>

// Battery detail of the monitor; every figure is absent on a machine without a battery.
struct BatteryDetail {
    std::optional<double> health;  // full-charge capacity over design capacity, at most 1
    std::optional<int> cycleCount;
    std::optional<double> watts;  // flowing into or out of the battery, always positive
    std::optional<int> minutesRemaining;
    bool isExternalPower = false;

    bool operator==(const BatteryDetail&) const = default;
};
