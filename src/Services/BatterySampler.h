#pragma once

#include "Platform/PowerSupplies.h"
#include "Platform/SystemRoots.h"
#include "Models/BatteryDetail.h"

#include <optional>
#include <vector>

// The battery's charge and whether external power is connected.
struct BatteryStatus {
    std::optional<double> percent;  // a fraction from 0 to 1; absent without a battery
    bool charging = false;          // on external power, whether or not the battery takes charge
};

// Battery figures from the kernel's power-supply class.
class BatterySampler {
public:
    explicit BatterySampler(SystemRoots roots) : roots_(std::move(roots)) {}

    BatteryStatus batteryStatus() const { return status(PowerSupplies::read(roots_)); }
    BatteryDetail batteryDetail() const { return detail(PowerSupplies::read(roots_)); }

    static BatteryStatus status(const std::vector<PowerSupply>& supplies);
    static BatteryDetail detail(const std::vector<PowerSupply>& supplies);

private:
    SystemRoots roots_;
};
