#pragma once

#include <filesystem>

// `inner` is `outer` or lies inside it, by the text of two absolute paths: "/homestead" is not
// inside "/home".
inline bool liesWithin(const std::filesystem::path& inner, const std::filesystem::path& outer) {
    if (outer == "/") return inner.is_absolute();
    return inner == outer || inner.native().starts_with(outer.native() + "/");
}
