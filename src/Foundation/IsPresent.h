#pragma once

#include <sys/stat.h>

#include <filesystem>

// Something is at `path`, a dangling link too: the last link is not followed.
inline bool isPresent(const std::filesystem::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// A regular file is at `path` itself: a link to one is not.
inline bool isFileItself(const std::filesystem::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}
