#pragma once

#include <cstddef>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace FileContents {

// The bytes of a regular file; empty when it is something else (a FIFO never blocks the caller),
// cannot be read, or is larger than `limit`.
std::optional<std::string> read(const std::filesystem::path& file, size_t limit = std::numeric_limits<size_t>::max());
// The same for a file already open, read from its start.
std::optional<std::string> read(int fd, size_t limit = std::numeric_limits<size_t>::max());

// Writes every byte to an open descriptor, however many writes that takes; false on an error.
bool writeAll(int fd, std::string_view bytes);

// Makes a rename or a new name in the folder durable.
void syncFolder(const std::filesystem::path& folder);

}  // namespace FileContents
