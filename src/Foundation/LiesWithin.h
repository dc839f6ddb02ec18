#pragma once

#include <filesystem>
#include <string_view>

// `inner` is `outer` or lies inside it, by the text of two absolute paths: "/homestead" is not
// inside "/home".
inline bool liesWithin(const std::filesystem::path& inner, const std::filesystem::path& outer) {
    if (outer == "/") return inner.is_absolute();
    return inner == outer || inner.native().starts_with(outer.native() + "/");
}

// The same by the text alone, for paths spelled as the kernel spells them (no "//", "." or closing
// slash), without making a path of each.
inline bool liesWithinText(std::string_view inner, std::string_view outer) {
    if (outer == "/") return inner.starts_with('/');
    return inner.starts_with(outer) && (inner.size() == outer.size() || inner[outer.size()] == '/');
}
