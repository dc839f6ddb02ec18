#include "Platform/KernelFile.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Reads from offset 0 until end of file or `limit`; procfs may return short reads before the end,
// unless the file is one record (`wholeRecord`).
std::optional<size_t> readAll(int fd, std::string& buffer, size_t limit, bool wholeRecord = false) {
    if (buffer.size() < 4096) buffer.resize(4096);
    size_t length = 0;
    while (length < limit) {
        if (length == buffer.size()) buffer.resize(buffer.size() * 2);
        ssize_t got = ::pread(fd, buffer.data() + length, buffer.size() - length, static_cast<off_t>(length));
        if (got < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        if (got == 0) break;
        bool roomLeft = length + static_cast<size_t>(got) < buffer.size();
        length += static_cast<size_t>(got);
        if (wholeRecord && roomLeft) break;
    }
    return length;
}

}  // namespace

KernelFile::KernelFile(std::filesystem::path path) : path_(std::move(path)) {}

KernelFile::~KernelFile() { close(); }

void KernelFile::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool KernelFile::readInto(size_t limit) {
    if (fd_ < 0) fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) return false;
    auto length = readAll(fd_, buffer_, limit);
    if (!length) return false;
    length_ = *length;
    return true;
}

std::optional<std::string_view> KernelFile::read(size_t limit) {
    // A file that went away and came back (a power supply plugged in again) needs a new descriptor.
    if (!readInto(limit)) {
        close();
        if (!readInto(limit)) return std::nullopt;
    }
    return std::string_view(buffer_.data(), length_);
}

std::optional<std::string_view> KernelFile::readOnce(int directory, const char* relative, std::string& buffer) {
    int fd = ::openat(directory, relative, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    auto length = readAll(fd, buffer, std::numeric_limits<size_t>::max(), true);
    ::close(fd);
    if (!length) return std::nullopt;
    return std::string_view(buffer.data(), *length);
}
