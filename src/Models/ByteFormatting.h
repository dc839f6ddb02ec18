#pragma once

#include <QString>

#include <cstdint>

// The one byte-count format of the app: kilobytes to terabytes, decimal multiples, fraction digits
// by unit (0 for KB, 1 for MB, 2 for GB and TB) without padding zeros, in the chosen language's locale.
namespace ByteFormatting {

QString string(std::int64_t bytes);  // negative counts show as zero
QString string(std::uint64_t bytes);  // capped at 2^63 - 1

}  // namespace ByteFormatting
