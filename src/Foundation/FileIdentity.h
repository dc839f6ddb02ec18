#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <optional>

// What tells a file from another put in its place under the same name: its device and inode, its
// type, its length, its modification time and its status-change time. Taken when a file is listed
// and compared again just before acting on it. The status-change time is what catches a file
// rewritten in place with its old modification time put back (`touch -r`), or deleted and made
// again at the same inode: no user can set it back. A folder is told by device, inode and type:
// its length and times move with every entry made or removed in it. Its birth time tells a folder
// deleted and made again at the same inode number, where the file system keeps one.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint32_t type = 0;  // the S_IFMT bits of the mode
    // How many names the file had when read (0: not known). Not compared: it tells nothing of which
    // file this is, only whether removing this one name frees the file's space.
    std::uint32_t links = 0;
    std::int64_t size = 0;   // logical length
    // What the file took on disk when read, its allocated blocks in bytes: a sparse file takes less
    // than its length. Not compared, like `links`: it is what removing the file's last name frees.
    std::int64_t allocated = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    std::int64_t changedSeconds = 0;
    std::int64_t changedNanoseconds = 0;
    // Unknown when the file system keeps none or the identity comes from a plain status read.
    struct BirthTime {
        std::int64_t seconds = 0;
        std::int64_t nanoseconds = 0;
        bool operator==(const BirthTime&) const = default;
        bool operator<(const BirthTime& other) const {
            return seconds != other.seconds ? seconds < other.seconds : nanoseconds < other.nanoseconds;
        }
    };
    std::optional<BirthTime> born;

    // Birth times count only when both sides know one.
    bool operator==(const FileIdentity& other) const;

    // The same file with the same contents, its status-change time aside: for a check right after a
    // rename of our own, which moves that time and nothing else.
    bool sameApartFromStatusChange(const FileIdentity& other) const;

    static FileIdentity of(const struct stat& status);
    static FileIdentity of(const struct statx& status);
    // The item at `path` itself (a final symbolic link is not followed); none when nothing is there
    // or it cannot be read, with errno set.
    static std::optional<FileIdentity> at(const std::filesystem::path& path);
    // The entry `name` of the open folder `folder`, a final symbolic link not followed.
    static std::optional<FileIdentity> at(int folder, const char* name);
    // The file open on `descriptor`: what was read through it, whatever its name is now.
    static std::optional<FileIdentity> ofOpen(int descriptor);
};
