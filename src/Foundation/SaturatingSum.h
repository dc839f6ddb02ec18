#pragma once

#include <cstdint>
#include <limits>

// Adds a byte count to a running total the way every walk does: an addend below 1 changes nothing,
// a negative total reads as 0, and the total stops at the largest signed 64-bit value.
constexpr std::int64_t saturatingSum(std::int64_t total, std::int64_t addend) {
    constexpr std::int64_t largest = std::numeric_limits<std::int64_t>::max();
    if (total < 0) total = 0;
    if (addend < 1) return total;
    return total > largest - addend ? largest : total + addend;
}

// count copies of a byte count, stopping at the largest signed 64-bit value; 0 when either is below 1.
constexpr std::int64_t saturatingProduct(std::int64_t size, std::int64_t count) {
    constexpr std::int64_t largest = std::numeric_limits<std::int64_t>::max();
    if (size < 1 || count < 1) return 0;
    return size > largest / count ? largest : size * count;
}

// later − earlier, held at the ends of the signed 64-bit range instead of wrapping.
constexpr std::int64_t saturatingDifference(std::int64_t later, std::int64_t earlier) {
    std::int64_t result = 0;
    if (!__builtin_sub_overflow(later, earlier, &result)) return result;
    return later > earlier ? std::numeric_limits<std::int64_t>::max() : std::numeric_limits<std::int64_t>::min();
}
