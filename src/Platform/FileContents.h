#pragma once

#include <cstddef>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>

namespace FileContents {

// The bytes of a regular file; empty when it is something else (a FIFO never blocks the caller),
// cannot be read, or is larger than `limit`.
std::optional<std::string> read(const std::filesystem::path& file, size_t limit = std::numeric_limits<size_t>::max());

}  // namespace FileContents
