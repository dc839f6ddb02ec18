#pragma once

#include <cstddef>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include <sys/stat.h>
#include <sys/types.h>

namespace FileContents {

// The bytes of a regular file; empty when it is something else (a FIFO never blocks the caller),
// cannot be read, or is larger than `limit`.
std::optional<std::string> read(const std::filesystem::path& file, size_t limit = std::numeric_limits<size_t>::max());
// The same for a file already open, read from its start.
std::optional<std::string> read(int fd, size_t limit = std::numeric_limits<size_t>::max());
// The first `count` bytes of a regular file, fewer when it is shorter, with its status in `status`
// where given; empty when it is something else, a link, or cannot be read. Never waits on a FIFO or
// a device.
std::optional<std::string> head(const std::filesystem::path& file, size_t count, struct stat* status = nullptr);

// Writes every byte to an open descriptor, however many writes that takes; false on an error.
bool writeAll(int fd, std::string_view bytes);

// Writes `bytes` whole and synced to a new hidden scratch file beside `file`, in the same folder so
// that a rename can put it in place, with `mode` where given. Its path; nothing, with errno set and no
// scratch file left, on an error.
std::optional<std::filesystem::path> writeBeside(const std::filesystem::path& file, std::string_view bytes, std::optional<mode_t> mode = std::nullopt);

// Makes a rename or a new name in the folder durable.
void syncFolder(const std::filesystem::path& folder);

}  // namespace FileContents
