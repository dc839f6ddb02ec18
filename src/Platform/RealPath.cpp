#include "Platform/RealPath.h"

#include <cstdlib>
#include <memory>

std::optional<std::filesystem::path> realPath(const std::filesystem::path& path) {
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    if (!resolved) return std::nullopt;
    return std::filesystem::path(resolved.get());
}

std::filesystem::path locatedPath(const std::filesystem::path& item) {
    const auto folder = realPath(item.parent_path());
    return folder ? *folder / item.filename() : item;
}
