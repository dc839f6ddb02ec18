#include "Services/BatterySampler.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

// The kernel reports energy in µWh, power in µW, charge in µAh, current in µA and voltage in µV.
// Batteries report either the energy or the charge family, some both.
namespace {

const PowerSupply* systemBattery(const std::vector<PowerSupply>& supplies) {
    auto battery = std::find_if(supplies.begin(), supplies.end(), [](const PowerSupply& s) { return s.isSystemBattery(); });
    return battery == supplies.end() ? nullptr : &*battery;
}

// A mains adapter or USB charger that is online, or a battery that says it is charging or kept full.
bool onExternalPower(const std::vector<PowerSupply>& supplies, const PowerSupply* battery) {
    for (const PowerSupply& supply : supplies)
        if (supply.type() != "Battery" && supply.number("ONLINE").value_or(0) > 0) return true;
    if (!battery) return false;
    auto state = battery->text("STATUS").value_or("");
    return state == "Charging" || state == "Full" || state == "Not charging";
}

// A ratio of the first family the battery reports, such as now over full.
std::optional<double> ratio(const PowerSupply& battery, const char* energyPart, const char* energyWhole,
                            const char* chargePart, const char* chargeWhole) {
    for (auto [part, whole] : {std::pair{energyPart, energyWhole}, std::pair{chargePart, chargeWhole}}) {
        auto numerator = battery.number(part);
        auto denominator = battery.number(whole);
        if (!numerator || !denominator) continue;
        // Some drivers report a discharging current as negative.
        double divisor = std::abs(static_cast<double>(*denominator));
        if (divisor == 0) return std::nullopt;
        return static_cast<double>(*numerator) / divisor;
    }
    return std::nullopt;
}

}  // namespace

BatteryStatus BatterySampler::status(const std::vector<PowerSupply>& supplies) {
    BatteryStatus status;
    const PowerSupply* battery = systemBattery(supplies);
    status.charging = onExternalPower(supplies, battery);
    if (!battery) return status;
    // A battery whose full capacity reads 0 shows as empty rather than unknown.
    auto now = battery->number("ENERGY_NOW");
    auto full = battery->number("ENERGY_FULL");
    if (!now || !full) {
        now = battery->number("CHARGE_NOW");
        full = battery->number("CHARGE_FULL");
    }
    if (now && full) {
        status.percent = *full > 0 ? std::clamp(static_cast<double>(*now) / static_cast<double>(*full), 0.0, 1.0) : 0.0;
    } else if (auto capacity = battery->number("CAPACITY")) {
        status.percent = std::clamp(static_cast<double>(*capacity) / 100.0, 0.0, 1.0);
    }
    return status;
}

BatteryDetail BatterySampler::detail(const std::vector<PowerSupply>& supplies) {
    BatteryDetail detail;
    const PowerSupply* battery = systemBattery(supplies);
    detail.isExternalPower = onExternalPower(supplies, battery);
    if (!battery) return detail;

    if (auto health = ratio(*battery, "ENERGY_FULL", "ENERGY_FULL_DESIGN", "CHARGE_FULL", "CHARGE_FULL_DESIGN"))
        detail.health = std::min(*health, 1.0);
    if (auto cycles = battery->number("CYCLE_COUNT"); cycles && *cycles >= 0 && *cycles <= std::numeric_limits<int>::max())
        detail.cycleCount = static_cast<int>(*cycles);

    if (auto power = battery->number("POWER_NOW")) {
        detail.watts = std::abs(static_cast<double>(*power)) / 1e6;
    } else if (auto voltage = battery->number("VOLTAGE_NOW"), current = battery->number("CURRENT_NOW"); voltage && current) {
        detail.watts = static_cast<double>(*voltage) * std::abs(static_cast<double>(*current)) / 1e12;
    }

    // Time left is only meaningful while running on the battery.
    if (!detail.isExternalPower && battery->text("STATUS").value_or("") == "Discharging") {
        std::optional<double> seconds;
        if (auto estimate = battery->number("TIME_TO_EMPTY_NOW"); estimate && *estimate > 0) {
            seconds = static_cast<double>(*estimate);
        } else if (auto hours = ratio(*battery, "ENERGY_NOW", "POWER_NOW", "CHARGE_NOW", "CURRENT_NOW")) {
            seconds = *hours * 3600;
        }
        if (seconds && *seconds > 0 && *seconds < 1e8) detail.minutesRemaining = static_cast<int>(*seconds / 60);
    }
    return detail;
}
