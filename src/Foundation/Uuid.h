#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// A random (version 4) identifier, written as 36 upper-case characters.
class Uuid {
public:
    static Uuid random();
    static std::optional<Uuid> parse(std::string_view text);  // either case accepted

    std::string text() const;
    const std::array<std::uint8_t, 16>& bytes() const { return bytes_; }

    bool operator==(const Uuid&) const = default;
    auto operator<=>(const Uuid&) const = default;

private:
    std::array<std::uint8_t, 16> bytes_{};
};

template <>
struct std::hash<Uuid> {
    size_t operator()(const Uuid& id) const noexcept {
        size_t value = 0;
        for (auto byte : id.bytes()) value = value * 131 + byte;
        return value;
    }
};
