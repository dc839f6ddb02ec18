#include "Support/TempTree.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <fstream>
#include <iterator>
#include <random>

TempTree::TempTree() : path_(dir_.path().toStdString()) {}

// Qt cannot remove names that are not UTF-8; the bytes-based removal can.
TempTree::~TempTree() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path TempTree::folder(const std::string& relative) const {
    auto full = path_ / relative;
    std::filesystem::create_directories(full);
    return full;
}

std::filesystem::path TempTree::write(const std::string& relative, const std::string& content) const {
    auto full = path_ / relative;
    std::filesystem::create_directories(full.parent_path());
    std::ofstream(full, std::ios::binary) << content;
    return full;
}

std::filesystem::path TempTree::file(const std::string& relative, size_t size, char fill) const {
    return write(relative, std::string(size, fill));
}

std::string TempTree::read(const std::filesystem::path& file) {
    std::ifstream stream(file, std::ios::binary);
    // The stream's buffer reports a failed read (a process's /proc file, gone while it is read) by
    // throwing, whatever the stream's own settings.
    try {
        return std::string(std::istreambuf_iterator<char>(stream), {});
    } catch (const std::ios_base::failure&) {
        return {};
    }
}

std::int64_t TempTree::allocatedSize(const std::filesystem::path& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 ? static_cast<std::int64_t>(status.st_blocks) * 512 : 0;
}

void TempTree::waitForStatusClockPast(const std::filesystem::path& file) const {
    struct stat listed {};
    if (::lstat(file.c_str(), &listed) != 0) return;
    const auto probe = write(".status-clock", "");
    auto later = [&](const struct stat& now) {
        return now.st_ctim.tv_sec != listed.st_ctim.tv_sec ? now.st_ctim.tv_sec > listed.st_ctim.tv_sec
                                                          : now.st_ctim.tv_nsec > listed.st_ctim.tv_nsec;
    };
    for (struct stat now {}; ::utimensat(AT_FDCWD, probe.c_str(), nullptr, 0) == 0 && ::stat(probe.c_str(), &now) == 0 && !later(now);) {}
    std::filesystem::remove(probe);
}

void TempTree::rewriteKeepingTimes(const std::filesystem::path& file, const std::string& content) const {
    struct stat before {};
    ::stat(file.c_str(), &before);
    waitForStatusClockPast(file);
    std::ofstream(file, std::ios::binary | std::ios::in | std::ios::out | std::ios::trunc) << content;
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    ::utimensat(AT_FDCWD, file.c_str(), times, 0);
}

std::string TempTree::randomBytes(std::size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes) byte = char(generator());
    return bytes;
}

void TempTree::setModified(const std::filesystem::path& path, time_t seconds) {
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}
