#pragma once

#include "Platform/SystemRoots.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// One entry of /sys/class/power_supply with the properties of its uevent file
// ("POWER_SUPPLY_ENERGY_NOW=41230000" is kept as "ENERGY_NOW", "41230000").
struct PowerSupply {
    std::string name;
    std::vector<std::pair<std::string, std::string>> properties;

    std::optional<std::string_view> text(std::string_view key) const;
    // A whole decimal number, possibly negative (a discharging current on some drivers).
    std::optional<std::int64_t> number(std::string_view key) const;

    std::string_view type() const { return text("TYPE").value_or(""); }
    // An internal battery: a "Battery" that is not the battery of a device such as a mouse.
    bool isSystemBattery() const { return type() == "Battery" && text("SCOPE").value_or("") != "Device"; }
};

class PowerSupplies {
public:
    // Every supply in name order; empty on a machine without any or when the class cannot be read.
    static std::vector<PowerSupply> read(const SystemRoots& roots);
};
