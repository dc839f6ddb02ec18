#include "Foundation/FileIdentity.h"

FileIdentity FileIdentity::of(const struct stat& status) {
    return {std::uint64_t(status.st_dev),       std::uint64_t(status.st_ino),         std::uint32_t(status.st_mode & S_IFMT),
            std::int64_t(status.st_size),       std::int64_t(status.st_mtim.tv_sec), std::int64_t(status.st_mtim.tv_nsec)};
}

std::optional<FileIdentity> FileIdentity::at(const std::filesystem::path& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) return std::nullopt;
    return of(status);
}
