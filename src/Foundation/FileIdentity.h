#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <optional>

// What tells a file from another put in its place under the same name: its device and inode, its
// type, its length and its modification time. Taken when a file is listed and compared again just
// before acting on it.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint32_t type = 0;  // the S_IFMT bits of the mode
    std::int64_t size = 0;   // logical length
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;

    bool operator==(const FileIdentity&) const = default;

    static FileIdentity of(const struct stat& status);
    // The item at `path` itself (a final symbolic link is not followed); none when nothing is there
    // or it cannot be read.
    static std::optional<FileIdentity> at(const std::filesystem::path& path);
};
