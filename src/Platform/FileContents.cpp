#include "Platform/FileContents.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

std::optional<std::string> FileContents::read(const std::filesystem::path& file, size_t limit) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return std::nullopt;
    auto text = read(fd, limit);
    ::close(fd);
    return text;
}

std::optional<std::string> FileContents::read(int fd, size_t limit) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || static_cast<size_t>(info.st_size) > limit) return std::nullopt;
    std::string text(static_cast<size_t>(info.st_size), '\0');
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t got = ::pread(fd, text.data() + done, text.size() - done, static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return std::nullopt;
        if (got == 0) break;
        done += static_cast<size_t>(got);
    }
    text.resize(done);
    return text;
}

std::optional<std::string> FileContents::head(const std::filesystem::path& file, size_t count, struct stat* status) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat ownStatus {};
    struct stat& info = status ? *status : ownStatus;
    std::optional<std::string> text;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        text.emplace(count, '\0');
        size_t done = 0;
        while (done < count) {
            const ssize_t got = ::pread(fd, text->data() + done, count - done, static_cast<off_t>(done));
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) text.reset();
            if (got <= 0) break;
            done += static_cast<size_t>(got);
        }
        if (text) text->resize(done);
    }
    ::close(fd);
    return text;
}

bool FileContents::writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::optional<std::filesystem::path> FileContents::writeBeside(const std::filesystem::path& file, std::string_view bytes, std::optional<mode_t> mode) {
    std::string pattern = (file.parent_path() / ("." + file.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    const bool written = (!mode || ::fchmod(fd, *mode) == 0) && writeAll(fd, bytes) && ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    if (written) return std::filesystem::path(pattern);
    ::unlink(pattern.c_str());
    errno = error;
    return std::nullopt;
}

void FileContents::syncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}
