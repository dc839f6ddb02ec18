#pragma once

#include "Models/RawValues.h"

#include <QString>

// Where a search looks: the whole file index, the home folder, or the folder the last scan chose.
enum class SearchScope { everywhere, home, scanFolder };

template <>
struct RawValues<SearchScope> {
    static constexpr std::array<std::pair<SearchScope, std::string_view>, 3> table{{
        {SearchScope::everywhere, "everywhere"},
        {SearchScope::home, "home"},
        {SearchScope::scanFolder, "scanFolder"},
    }};
};

inline QString labelKey(SearchScope scope) { return QStringLiteral("search.scope.") + rawText(scope); }

inline QString symbol(SearchScope scope) {
    switch (scope) {
    case SearchScope::everywhere: return QStringLiteral("macbook.and.iphone");
    case SearchScope::home: return QStringLiteral("house.fill");
    case SearchScope::scanFolder: return QStringLiteral("folder.fill");
    }
    return {};
}
