#pragma once

#include "Models/RawValues.h"

// The tools in the order of the tools rail.
enum class ValueTool { duplicates, cleanup, forgotten, history, startup, developer };

template <>
struct RawValues<ValueTool> {
    static constexpr std::array<std::pair<ValueTool, std::string_view>, 6> table{{
        {ValueTool::duplicates, "duplicates"},
        {ValueTool::cleanup, "cleanup"},
        {ValueTool::forgotten, "forgotten"},
        {ValueTool::history, "history"},
        {ValueTool::startup, "startup"},
        {ValueTool::developer, "developer"},
    }};
};
