#include "Platform/KernelFile.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Reads from the start until end of file or `limit`; procfs may return short reads before the end,
// unless the file is one record (`wholeRecord`).
std::optional<std::string_view> readAll(int directory, const char* path, std::string& buffer, size_t limit, bool wholeRecord) {
    int fd = ::openat(directory, path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    if (buffer.size() < 4096) buffer.resize(4096);
    size_t length = 0;
    bool failed = false;
    while (length < limit) {
        if (length == buffer.size()) buffer.resize(buffer.size() * 2);
        ssize_t got = ::read(fd, buffer.data() + length, buffer.size() - length);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            failed = true;
            break;
        }
        if (got == 0) break;
        bool roomLeft = length + static_cast<size_t>(got) < buffer.size();
        length += static_cast<size_t>(got);
        if (wholeRecord && roomLeft) break;
    }
    ::close(fd);
    if (failed) return std::nullopt;
    return std::string_view(buffer.data(), length);
}

}  // namespace

std::optional<std::string_view> KernelFile::read(size_t limit) {
    return readAll(AT_FDCWD, path_.c_str(), buffer_, limit, false);
}

std::optional<std::string_view> KernelFile::readOnce(int directory, const char* relative, std::string& buffer) {
    return readAll(directory, relative, buffer, std::numeric_limits<size_t>::max(), true);
}

std::optional<std::string_view> KernelFile::readAt(int directory, const char* relative, std::string& buffer) {
    return readAll(directory, relative, buffer, std::numeric_limits<size_t>::max(), false);
}
