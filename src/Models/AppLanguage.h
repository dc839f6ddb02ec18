#pragma once

#include "Models/RawValues.h"

// The interface language; the raw value is what "appLanguage" stores.
enum class AppLanguage { system, english, arabic };

template <>
struct RawValues<AppLanguage> {
    static constexpr std::array<std::pair<AppLanguage, std::string_view>, 3> table{{
        {AppLanguage::system, "system"},
        {AppLanguage::english, "en"},
        {AppLanguage::arabic, "ar"},
    }};
};
