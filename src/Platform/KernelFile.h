#pragma once

#include <cstddef>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

// A /proc or /sys file read again every sample into a buffer that is kept, so a sample allocates
// nothing once the buffer has grown to the file's size. The file is opened for each read: opening a
// kernel file costs little, and a held descriptor would keep reading a file that was replaced.
class KernelFile {
public:
    explicit KernelFile(std::filesystem::path path) : path_(std::move(path)) {}

    // The content from its start, at least `limit` bytes of it when the file is that long, valid until
    // the next read; absent when the file cannot be opened or read.
    std::optional<std::string_view> read(size_t limit = std::numeric_limits<size_t>::max());

    // Reads a file relative to a directory descriptor into the caller's buffer. Meant for files the
    // kernel makes in one piece (a /proc/<pid> record, a sysfs attribute): a read that leaves room in
    // the buffer is taken as the end, which saves a call per file.
    static std::optional<std::string_view> readOnce(int directory, const char* relative, std::string& buffer);
    // Reads a whole file relative to a directory descriptor into the caller's buffer, also one the
    // kernel hands out in pieces (a process's maps).
    static std::optional<std::string_view> readAt(int directory, const char* relative, std::string& buffer);

private:
    std::filesystem::path path_;
    std::string buffer_;
};
