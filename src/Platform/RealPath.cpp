#include "Platform/RealPath.h"

#include <cstdlib>
#include <memory>
#include <string>

std::optional<std::filesystem::path> realPath(const std::filesystem::path& path) {
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    if (!resolved) return std::nullopt;
    return std::filesystem::path(resolved.get());
}

std::filesystem::path comparableFolder(const std::filesystem::path& path) {
    const std::filesystem::path normal = path.lexically_normal();
    std::string folder = realPath(normal).value_or(normal).native();
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

std::filesystem::path locatedPath(const std::filesystem::path& item) {
    const auto folder = realPath(item.parent_path());
    return folder ? *folder / item.filename() : item;
}
