#pragma once

#include <filesystem>
#include <string>
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

// The folder that holds `path`, by its text alone: "/" for an entry of the top folder, or for a
// text without a slash.
inline std::string folderOfText(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == 0 || slash == std::string_view::npos ? std::string("/") : std::string(path.substr(0, slash));
}
