#pragma once

#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>

// Allocation-free parsing of the kernel's text files: whitespace-separated fields, one record a line.
namespace KernelText {

inline bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The next line of `rest` without its newline; `rest` moves past it.
inline std::string_view nextLine(std::string_view& rest) {
    size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    return line;
}

// The next field of `rest`, skipping leading blanks; empty at the end.
inline std::string_view nextField(std::string_view& rest) {
    size_t start = 0;
    while (start < rest.size() && (isBlank(rest[start]) || rest[start] == '\n')) ++start;
    size_t end = start;
    while (end < rest.size() && !isBlank(rest[end]) && rest[end] != '\n') ++end;
    std::string_view field = rest.substr(start, end - start);
    rest.remove_prefix(end);
    return field;
}

// A whole field of decimal digits (base 16 when asked), nothing else.
inline std::optional<std::uint64_t> unsignedNumber(std::string_view field, int base = 10) {
    std::uint64_t value = 0;
    auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value, base);
    if (error != std::errc() || end != field.data() + field.size() || field.empty()) return std::nullopt;
    return value;
}

// The next field as a number; 0 when it is missing or not a number, so one odd column spoils nothing else.
inline std::uint64_t nextNumber(std::string_view& rest) {
    return unsignedNumber(nextField(rest)).value_or(0);
}

inline std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (isBlank(text.front()) || text.front() == '\n')) text.remove_prefix(1);
    while (!text.empty() && (isBlank(text.back()) || text.back() == '\n')) text.remove_suffix(1);
    return text;
}

}  // namespace KernelText
