#include "Platform/DirectoryReader.h"

#include "Foundation/AllocatedBytes.h"
#include "Foundation/FileDescriptor.h"
#include "Platform/PseudoFileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <memory>
#include <thread>

namespace DirectoryReader {
namespace {

constexpr size_t bufferSize = 256 * 1024;

// One buffer per thread for its whole life: a fresh 256 KiB allocation per directory would cost
// an mmap and page faults each time.
char* listingBuffer() {
    thread_local std::unique_ptr<char[]> buffer;
    if (!buffer) buffer = std::make_unique_for_overwrite<char[]>(bufferSize);
    return buffer.get();
}

bool isDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

std::int64_t notNegative(std::int64_t value) { return std::max<std::int64_t>(value, 0); }

// Fills kind, sizes and date from statx; false when the entry vanished or cannot be read.
bool fillFromStatx(int directory, const char* name, DirectoryEntry& entry) {
    struct statx status;
    if (::statx(directory, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
                STATX_TYPE | STATX_MODE | STATX_BLOCKS | STATX_SIZE | STATX_MTIME | STATX_NLINK | STATX_INO, &status) != 0)
        return false;
    entry.type = DirectoryEntry::kindOfMode(status.stx_mode);
    if (entry.type != DirectoryEntry::Kind::file) return true;  // directories carry no size or date
    entry.executable = (status.stx_mask & STATX_MODE) && (status.stx_mode & (S_IXUSR | S_IXGRP | S_IXOTH));
    if (status.stx_mask & STATX_BLOCKS)
        entry.allocatedSize = allocatedBytes(status.stx_blocks);
    if (status.stx_mask & STATX_SIZE)
        entry.logicalSize = notNegative(static_cast<std::int64_t>(std::min<std::uint64_t>(status.stx_size, INT64_MAX)));
    if (status.stx_mask & STATX_MTIME)
        entry.modified = Instant::fromTimespec(status.stx_mtime.tv_sec, status.stx_mtime.tv_nsec);
    if ((status.stx_mask & STATX_NLINK) && status.stx_nlink > 1) {
        entry.linkCount = status.stx_nlink;
        entry.device = makedev(status.stx_dev_major, status.stx_dev_minor);
        entry.inode = status.stx_ino;
    }
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

// A long listing is handed over in batches of this many entries; statx calls for this many entries
// or more are split across threads, a slice at a time.
constexpr size_t batchSize = 4096;
constexpr size_t parallelStatus = 2048;
constexpr size_t statusSlice = 256;

// Fills in the status of the entries at `pending` (indexes into `entries`), then removes the
// entries that vanished in between, keeping the order of the others.
void fillPending(int directory, std::vector<DirectoryEntry>& entries, std::vector<size_t>& pending, int statusThreads) {
    if (pending.empty()) return;
    std::vector<char> vanished(pending.size(), 0);
    std::atomic<size_t> next = 0;
    auto work = [&] {
        for (;;) {
            const size_t first = next.fetch_add(statusSlice);
            if (first >= pending.size()) return;
            for (size_t i = first; i < std::min(first + statusSlice, pending.size()); ++i) {
                DirectoryEntry& entry = entries[pending[i]];
                vanished[i] = !fillFromStatx(directory, entry.name.c_str(), entry);
            }
        }
    };
    const size_t threads = pending.size() < parallelStatus ? 1 : std::clamp<size_t>(pending.size() / statusSlice, 1, size_t(std::max(statusThreads, 1)));
    {
        std::vector<std::jthread> helpers;
        for (size_t i = 1; i < threads; ++i) helpers.emplace_back(work);
        work();
    }
    if (std::find(vanished.begin(), vanished.end(), 1) != vanished.end()) {
        size_t gone = 0;
        size_t kept = pending.front();
        for (size_t i = pending.front(), p = 0; i < entries.size(); ++i) {
            const bool drop = p < pending.size() && pending[p] == i && vanished[p++];
            if (drop) {
                ++gone;
            } else {
                if (kept != i) entries[kept] = std::move(entries[i]);
                ++kept;
            }
        }
        entries.resize(entries.size() - gone);
    }
    pending.clear();
}

}  // namespace

bool read(const std::string& path, std::vector<DirectoryEntry>& into, const BatchHandler& handOver, int statusThreads) {
    FileDescriptor directory = openFolder(path);
    if (!directory.isOpen()) return false;
    if (isPseudoFileSystem(directory.get())) return true;
    char* buffer = listingBuffer();

    // Kinds come with the listing; regular files and unknown kinds wait for their status, which is
    // fetched a batch at a time.
    std::vector<size_t> pending;
    bool first = true;
    for (;;) {
        ssize_t filled = ::getdents64(directory.get(), buffer, bufferSize);
        if (filled <= 0) {
            fillPending(directory.get(), into, pending, statusThreads);
            return !(first && filled < 0);
        }
        first = false;
        for (ssize_t offset = 0; offset < filled;) {
            const auto* record = reinterpret_cast<const struct dirent64*>(buffer + offset);
            offset += record->d_reclen;
            const char* name = record->d_name;
            if (name[0] == '\0' || isDotOrDotDot(name)) continue;

            DirectoryEntry& entry = into.emplace_back();
            entry.name.assign(name);
            switch (record->d_type) {
            case DT_DIR:
                entry.type = DirectoryEntry::Kind::directory;
                break;
            case DT_REG:
            case DT_UNKNOWN:
                pending.push_back(into.size() - 1);
                break;
            default:
                entry.type = DirectoryEntry::Kind::other;
                break;
            }
        }
        if (pending.size() >= batchSize || (handOver && into.size() >= batchSize)) {
            fillPending(directory.get(), into, pending, statusThreads);
            if (handOver) handOver(into);
        }
    }
}

}  // namespace DirectoryReader
