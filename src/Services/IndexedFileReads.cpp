#include "Services/IndexedFileReads.h"

#include <algorithm>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace IndexedFileReads {

FileDescriptor openUnchanged(const FileIntelligenceService::IndexedFile& file) {
    // O_NONBLOCK: a name replaced by a pipe since it was indexed must not hang a worker.
    FileDescriptor descriptor(::open(file.path, O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
    if (!descriptor.isOpen() || !isUnchanged(descriptor.get(), file)) return {};
    return descriptor;
}

bool isUnchanged(int descriptor, const FileIntelligenceService::IndexedFile& file) {
    struct stat status {};
    return ::fstat(descriptor, &status) == 0 && isUnchanged(status, file);
}

bool isUnchanged(const struct stat& status, const FileIntelligenceService::IndexedFile& file) {
    return S_ISREG(status.st_mode) && status.st_size == file.size &&
           (!file.modified || Instant::fromTimespec(status.st_mtim.tv_sec, status.st_mtim.tv_nsec) == *file.modified);
}

bool readExactly(int descriptor, unsigned char* into, std::int64_t length, std::int64_t offset) {
    while (length > 0) {
        ssize_t got = ::pread(descriptor, into, std::size_t(length), offset);
        if (got <= 0) return false;
        into += got;
        offset += got;
        length -= got;
    }
    return true;
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
