#include "Foundation/FileIdentity.h"

FileIdentity FileIdentity::of(const struct stat& status) {
    FileIdentity identity;
    identity.device = std::uint64_t(status.st_dev);
    identity.inode = std::uint64_t(status.st_ino);
    identity.type = std::uint32_t(status.st_mode & S_IFMT);
    if (S_ISDIR(status.st_mode)) return identity;
    identity.size = std::int64_t(status.st_size);
    identity.modifiedSeconds = std::int64_t(status.st_mtim.tv_sec);
    identity.modifiedNanoseconds = std::int64_t(status.st_mtim.tv_nsec);
    identity.changedSeconds = std::int64_t(status.st_ctim.tv_sec);
    identity.changedNanoseconds = std::int64_t(status.st_ctim.tv_nsec);
    return identity;
}

bool FileIdentity::sameApartFromStatusChange(const FileIdentity& other) const {
    FileIdentity aligned = other;
    aligned.changedSeconds = changedSeconds;
    aligned.changedNanoseconds = changedNanoseconds;
    return aligned == *this;
}

std::optional<FileIdentity> FileIdentity::at(const std::filesystem::path& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) return std::nullopt;
    return of(status);
}
