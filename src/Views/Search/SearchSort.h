#pragma once

#include "Models/RawValues.h"

#include <QString>

// The order of the search results: largest, by name, or newest first.
enum class SearchSort { size, name, modified };

template <>
struct RawValues<SearchSort> {
    static constexpr std::array<std::pair<SearchSort, std::string_view>, 3> table{{
        {SearchSort::size, "size"},
        {SearchSort::name, "name"},
        {SearchSort::modified, "modified"},
    }};
};

inline QString labelKey(SearchSort sort) { return QStringLiteral("search.sort.") + rawText(sort); }

inline QString symbol(SearchSort sort) {
    switch (sort) {
    case SearchSort::size: return QStringLiteral("arrow.down.right.and.arrow.up.left");
    case SearchSort::name: return QStringLiteral("textformat.abc");
    case SearchSort::modified: return QStringLiteral("clock");
    }
    return {};
}
