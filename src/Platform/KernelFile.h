#pragma once

#include <cstddef>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

// A /proc or /sys file read again every sample. The descriptor stays open and the buffer is reused, so
// a sample costs a pread or two and no allocation once the buffer has grown to the file's size.
class KernelFile {
public:
    explicit KernelFile(std::filesystem::path path);
    ~KernelFile();
    KernelFile(const KernelFile&) = delete;
    KernelFile& operator=(const KernelFile&) = delete;

    // The content from its start, at most `limit` bytes (more may be returned), valid until the next
    // read; absent when the file cannot be opened or read.
    std::optional<std::string_view> read(size_t limit = std::numeric_limits<size_t>::max());

    // Reads a file opened just for it, relative to a directory descriptor, into the caller's buffer.
    // Meant for files the kernel makes in one piece (a /proc/<pid> record, a sysfs attribute): a read
    // that leaves room in the buffer is taken as the end, which saves a call per file.
    static std::optional<std::string_view> readOnce(int directory, const char* relative, std::string& buffer);

private:
    bool readInto(size_t limit);
    void close();

    std::filesystem::path path_;
    int fd_ = -1;
    std::string buffer_;
    size_t length_ = 0;
};
