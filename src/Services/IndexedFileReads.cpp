#include "Services/IndexedFileReads.h"

#include "Foundation/Cancelled.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace IndexedFileReads {

namespace {

// Why an open failed: a file gone or replaced by something else is no longer a candidate; running
// out of descriptors passes; anything else (no permission, an I/O error) means it cannot be read.
ReadTrouble troubleOfOpen(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ELOOP:
    case ENXIO:
    case ENODEV:
    case EISDIR:
        return ReadTrouble::changed;
    case EMFILE:
    case ENFILE:
    case ENOMEM:
        return ReadTrouble::noDescriptor;
    default:
        return ReadTrouble::unreadable;
    }
}

}  // namespace

OpenedFile openUnchanged(const FileIntelligenceService::IndexedFile& file) {
    // O_NONBLOCK: a name replaced by a pipe since it was indexed must not hang a worker.
    FileDescriptor descriptor(::open(file.path, O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
    if (!descriptor.isOpen()) return {{}, troubleOfOpen(errno), {}};
    std::optional<FileIdentity> identity = FileIdentity::ofOpen(descriptor.get());
    if (!identity) return {{}, ReadTrouble::unreadable, {}};
    if (!isUnchanged(*identity, file)) return {{}, ReadTrouble::changed, {}};
    return {std::move(descriptor), ReadTrouble::none, identity};
}

bool isUnchanged(const FileIdentity& now, const FileIntelligenceService::IndexedFile& file) {
    if (file.identity) return file.identity->isFile(now, file.size);
    return now.type == S_IFREG && now.size == file.size &&
           (!file.modified || Instant::fromTimespec(now.modifiedSeconds, now.modifiedNanoseconds) == *file.modified);
}

ReadTrouble readExactly(int descriptor, unsigned char* into, std::int64_t length, std::int64_t offset) {
    while (length > 0) {
        ssize_t got = ::pread(descriptor, into, std::size_t(length), offset);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return ReadTrouble::unreadable;
        if (got == 0) return ReadTrouble::changed;  // shorter than indexed
        into += got;
        offset += got;
        length -= got;
    }
    return ReadTrouble::none;
}

FileDigest wholeDigest(const FileIntelligenceService::IndexedFile& file, HashMeter& meter, bool creditReads) {
    std::int64_t offset = 0;
    auto failed = [&](ReadTrouble trouble) {
        if (creditReads && trouble != ReadTrouble::noDescriptor) creditBeyondSample(meter, offset, file.size);
        return FileDigest{std::nullopt, trouble};
    };
    OpenedFile opened = openUnchanged(file);
    if (opened.trouble != ReadTrouble::none) return failed(opened.trouble);
    meter.setPath(file.path);
    unsigned char* buffer = threadBuffer(std::size_t(chunk));
    Sha256 hash;
    for (; offset < file.size; offset += chunk) {
        if (meter.isCancelled()) throw Cancelled();
        const std::int64_t length = std::min(chunk, file.size - offset);
        if (ReadTrouble trouble = readExactly(opened.descriptor.get(), buffer, length, offset); trouble != ReadTrouble::none) return failed(trouble);
        hash.update(buffer, std::size_t(length));
        if (creditReads) creditBeyondSample(meter, offset, offset + length);
    }
    if (const auto now = FileIdentity::ofOpen(opened.descriptor.get()); !now || !isUnchanged(*now, file)) return {std::nullopt, ReadTrouble::changed};
    return {hash.finish(), ReadTrouble::none};
}

unsigned char* threadBuffer(std::size_t bytes) {
    thread_local std::unique_ptr<unsigned char[]> buffer;
    thread_local std::size_t capacity = 0;
    if (capacity < bytes) {
        buffer.reset();
        buffer = std::make_unique_for_overwrite<unsigned char[]>(bytes);
        capacity = bytes;
    }
    return buffer.get();
}

void creditBeyondSample(HashMeter& meter, std::int64_t from, std::int64_t to) {
    meter.addBytes(to - std::max(from, FileIntelligenceService::sampleLimit));
}

}  // namespace IndexedFileReads
