#pragma once

#include "Models/RawValues.h"

// Safe candidates are preselected; review ones never are.
enum class CleanupSafety { safe, review };

template <>
struct RawValues<CleanupSafety> {
    static constexpr std::array<std::pair<CleanupSafety, std::string_view>, 2> table{{
        {CleanupSafety::safe, "safe"},
        {CleanupSafety::review, "review"},
    }};
};
