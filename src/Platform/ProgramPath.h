#pragma once

#include <string_view>

// The program path of a process as the exe link gives it.
namespace ProgramPath {

// A program replaced on disk while it runs (a package upgrade) shows as "<path> (deleted)"; it is
// still the same program.
inline std::string_view withoutDeletedMark(std::string_view path) {
    constexpr std::string_view mark = " (deleted)";
    if (path.size() > mark.size() && path.substr(path.size() - mark.size()) == mark) path.remove_suffix(mark.size());
    return path;
}

// The program's file name: the last component.
inline std::string_view name(std::string_view path) {
    size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace ProgramPath
