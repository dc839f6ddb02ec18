#include "Platform/DirectoryReader.h"

#include "Foundation/AllocatedBytes.h"
#include "Foundation/FileDescriptor.h"
#include "Platform/PseudoFileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <memory>

namespace DirectoryReader {
namespace {

constexpr size_t bufferSize = 256 * 1024;

// One buffer per thread for its whole life: a fresh 256 KiB allocation per directory would cost
// an mmap and page faults each time.
char* threadBuffer() {
    thread_local std::unique_ptr<char[]> buffer;
    if (!buffer) buffer = std::make_unique_for_overwrite<char[]>(bufferSize);
    return buffer.get();
}

bool isDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

DirectoryEntry::Kind kindOfMode(unsigned mode) {
    if (S_ISREG(mode)) return DirectoryEntry::Kind::file;
    if (S_ISDIR(mode)) return DirectoryEntry::Kind::directory;
    return DirectoryEntry::Kind::other;
}

std::int64_t notNegative(std::int64_t value) { return std::max<std::int64_t>(value, 0); }

// Fills kind, sizes and date from statx; false when the entry vanished or cannot be read.
bool fillFromStatx(int directory, const char* name, DirectoryEntry& entry) {
    struct statx status;
    if (::statx(directory, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
                STATX_TYPE | STATX_BLOCKS | STATX_SIZE | STATX_MTIME, &status) != 0)
        return false;
    entry.type = kindOfMode(status.stx_mode);
    if (entry.type != DirectoryEntry::Kind::file) return true;  // directories carry no size or date
    if (status.stx_mask & STATX_BLOCKS)
        entry.allocatedSize = allocatedBytes(status.stx_blocks);
    if (status.stx_mask & STATX_SIZE)
        entry.logicalSize = notNegative(static_cast<std::int64_t>(std::min<std::uint64_t>(status.stx_size, INT64_MAX)));
    if (status.stx_mask & STATX_MTIME)
        entry.modified = Instant::fromTimespec(status.stx_mtime.tv_sec, status.stx_mtime.tv_nsec);
    return true;
}

constexpr int folderFlags = O_RDONLY | O_NOFOLLOW | O_DIRECTORY | O_CLOEXEC;

// Opens a folder at any depth: a path longer than the system takes in one call is opened piece by
// piece, each piece relative to the folder opened before it.
FileDescriptor openFolder(const std::string& path) {
    if (path.size() < PATH_MAX) return FileDescriptor(::open(path.c_str(), folderFlags));
    FileDescriptor base;
    size_t start = 0;
    while (path.size() - start >= PATH_MAX) {
        const size_t cut = path.rfind('/', start + PATH_MAX - 1);
        if (cut == std::string::npos || cut <= start) {
            errno = ENAMETOOLONG;
            return FileDescriptor();
        }
        const std::string piece = path.substr(start, cut - start);
        FileDescriptor next(::openat(base.isOpen() ? base.get() : AT_FDCWD, piece.empty() ? "/" : piece.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (!next.isOpen()) return next;
        base = std::move(next);
        start = cut + 1;
    }
    return FileDescriptor(::openat(base.get(), path.c_str() + start, folderFlags));
}

}  // namespace

bool read(const std::string& path, std::vector<DirectoryEntry>& into) {
    FileDescriptor directory = openFolder(path);
    if (!directory.isOpen()) return false;
    if (isPseudoFileSystem(directory.get())) return true;
    char* buffer = threadBuffer();

    bool first = true;
    for (;;) {
        ssize_t filled = ::getdents64(directory.get(), buffer, bufferSize);
        if (filled <= 0) return !(first && filled < 0);
        first = false;
        for (ssize_t offset = 0; offset < filled;) {
            const auto* record = reinterpret_cast<const struct dirent64*>(buffer + offset);
            offset += record->d_reclen;
            const char* name = record->d_name;
            if (name[0] == '\0' || isDotOrDotDot(name)) continue;

            DirectoryEntry entry;
            switch (record->d_type) {
            case DT_DIR:
                entry.type = DirectoryEntry::Kind::directory;
                break;
            case DT_REG:
            case DT_UNKNOWN:
                if (!fillFromStatx(directory.get(), name, entry)) continue;
                break;
            default:
                entry.type = DirectoryEntry::Kind::other;
                break;
            }
            entry.name.assign(name);
            into.push_back(std::move(entry));
        }
    }
}

}  // namespace DirectoryReader
