#include "Platform/FileContents.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

std::optional<std::string> FileContents::read(const std::filesystem::path& file, size_t limit) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return std::nullopt;
    struct stat info {};
    std::optional<std::string> text;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && static_cast<size_t>(info.st_size) <= limit) {
        text.emplace(static_cast<size_t>(info.st_size), '\0');
        size_t done = 0;
        while (done < text->size()) {
            const ssize_t got = ::read(fd, text->data() + done, text->size() - done);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) {
                text.reset();
                break;
            }
            if (got == 0) break;
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

void FileContents::syncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}
