#pragma once

#include <algorithm>
#include <cctype>
#include <string_view>

// Whether two names are one when ASCII letters' case is ignored, as Windows and FAT compare names and
// as extensions and copy marks are written in any case.
inline bool equalIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return std::tolower((unsigned char)x) == std::tolower((unsigned char)y); });
}
