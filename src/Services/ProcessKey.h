#pragma once

#include <cstdint>
#include <functional>

// A process id is only a process together with its start time: ids are reused.
struct ProcessKey {
    std::int32_t pid = 0;
    std::uint64_t startTicks = 0;  // clock ticks after boot

    bool operator==(const ProcessKey&) const = default;
};

template <>
struct std::hash<ProcessKey> {
    size_t operator()(const ProcessKey& key) const noexcept {
        return std::hash<std::uint64_t>()((static_cast<std::uint64_t>(static_cast<std::uint32_t>(key.pid)) << 40) ^ key.startTicks);
    }
};
