#include "Foundation/FileIdentity.h"

#include "Foundation/AllocatedBytes.h"

#include <fcntl.h>
#include <sys/sysmacros.h>

#include <algorithm>

namespace {

// A folder's length and times move with every entry made or removed in it, so they are left out.
FileIdentity identityOf(std::uint64_t device, std::uint64_t inode, std::uint32_t mode, std::int64_t size, std::int64_t modifiedSeconds,
                        std::int64_t modifiedNanoseconds, std::int64_t changedSeconds, std::int64_t changedNanoseconds) {
    FileIdentity identity;
    identity.device = device;
    identity.inode = inode;
    identity.type = mode & S_IFMT;
    if (S_ISDIR(mode)) return identity;
    identity.size = size;
    identity.modifiedSeconds = modifiedSeconds;
    identity.modifiedNanoseconds = modifiedNanoseconds;
    identity.changedSeconds = changedSeconds;
    identity.changedNanoseconds = changedNanoseconds;
    return identity;
}

}  // namespace

FileIdentity FileIdentity::of(const struct stat& status) {
    FileIdentity identity = identityOf(std::uint64_t(status.st_dev), std::uint64_t(status.st_ino), std::uint32_t(status.st_mode),
                                       std::int64_t(status.st_size), std::int64_t(status.st_mtim.tv_sec), std::int64_t(status.st_mtim.tv_nsec),
                                       std::int64_t(status.st_ctim.tv_sec), std::int64_t(status.st_ctim.tv_nsec));
    identity.links = std::uint32_t(std::min<std::uint64_t>(status.st_nlink, UINT32_MAX));
    identity.allocated = allocatedBytes(std::uint64_t(status.st_blocks));
    return identity;
}

FileIdentity FileIdentity::of(const struct statx& status) {
    FileIdentity identity = identityOf(std::uint64_t(makedev(status.stx_dev_major, status.stx_dev_minor)), std::uint64_t(status.stx_ino),
                                       std::uint32_t(status.stx_mode), std::int64_t(status.stx_size), std::int64_t(status.stx_mtime.tv_sec),
                                       std::int64_t(status.stx_mtime.tv_nsec), std::int64_t(status.stx_ctime.tv_sec),
                                       std::int64_t(status.stx_ctime.tv_nsec));
    identity.links = status.stx_nlink;
    identity.allocated = allocatedBytes(status.stx_blocks);
    if (status.stx_mask & STATX_BTIME) identity.born = BirthTime{std::int64_t(status.stx_btime.tv_sec), std::int64_t(status.stx_btime.tv_nsec)};
    return identity;
}

bool FileIdentity::operator==(const FileIdentity& other) const {
    return device == other.device && inode == other.inode && type == other.type && size == other.size &&
           modifiedSeconds == other.modifiedSeconds && modifiedNanoseconds == other.modifiedNanoseconds &&
           changedSeconds == other.changedSeconds && changedNanoseconds == other.changedNanoseconds &&
           (!born || !other.born || *born == *other.born);
}

bool FileIdentity::sameApartFromStatusChange(const FileIdentity& other) const {
    FileIdentity aligned = other;
    aligned.changedSeconds = changedSeconds;
    aligned.changedNanoseconds = changedNanoseconds;
    return aligned == *this;
}

std::optional<FileIdentity> FileIdentity::at(const std::filesystem::path& path) { return at(AT_FDCWD, path.c_str()); }

std::optional<FileIdentity> FileIdentity::at(int folder, const char* name) {
    struct statx status {};
    if (::statx(folder, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_BASIC_STATS | STATX_BTIME, &status) != 0) return std::nullopt;
    return of(status);
}

std::optional<FileIdentity> FileIdentity::ofOpen(int descriptor) {
    struct statx status {};
    if (::statx(descriptor, "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_BTIME, &status) != 0) return std::nullopt;
    return of(status);
}
