#pragma once

#include <cstdint>
#include <limits>

// Bytes on disk from a count of 512-byte blocks as stat and statx report it, stopping at the
// largest signed 64-bit value.
constexpr std::int64_t allocatedBytes(std::uint64_t blocks) {
    constexpr std::uint64_t largestBlocks = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) / 512;
    return blocks > largestBlocks ? std::numeric_limits<std::int64_t>::max() : static_cast<std::int64_t>(blocks * 512);
}
