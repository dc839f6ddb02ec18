#pragma once

#include "Models/RawValues.h"

// Light or dark look; the raw value is what "appAppearance" stores.
enum class AppAppearance { system, light, dark };

template <>
struct RawValues<AppAppearance> {
    static constexpr std::array<std::pair<AppAppearance, std::string_view>, 3> table{{
        {AppAppearance::system, "system"},
        {AppAppearance::light, "light"},
        {AppAppearance::dark, "dark"},
    }};
};
