#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <optional>

// What a file was when it was looked at: which file (device and inode), its type and permissions,
// size and modification time. Two equal stamps mean nothing has replaced or changed it since, as
// far as the file system tells; a symbolic link is stamped as the link, never its target.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint32_t mode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNanoseconds = 0;

    static FileStamp of(const struct stat& info) {
        return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino), static_cast<std::uint32_t>(info.st_mode),
                static_cast<std::int64_t>(info.st_size), static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
    }
    // Nothing when nothing is at the path.
    static std::optional<FileStamp> of(const std::filesystem::path& path) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0) return std::nullopt;
        return of(info);
    }
    bool isSymbolicLink() const { return S_ISLNK(mode); }

    bool operator==(const FileStamp&) const = default;
};
