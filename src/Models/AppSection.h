#pragma once

#include "Models/RawValues.h"

// The screens of the main window; the tab bar shows all but settings, in this order.
enum class AppSection { overview, storage, search, uninstaller, monitor, tools, settings };

template <>
struct RawValues<AppSection> {
    static constexpr std::array<std::pair<AppSection, std::string_view>, 7> table{{
        {AppSection::overview, "overview"},
        {AppSection::storage, "storage"},
        {AppSection::search, "search"},
        {AppSection::uninstaller, "uninstaller"},
        {AppSection::monitor, "monitor"},
        {AppSection::tools, "tools"},
        {AppSection::settings, "settings"},
    }};
};
