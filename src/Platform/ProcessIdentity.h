#pragma once

#include <cstdint>
#include <string>

// What tells a process from a later one that was given the same id: its start time and its program.
struct ProcessIdentity {
    std::int32_t pid = 0;
    std::uint64_t startTicks = 0;     // clock ticks after boot
    std::string executablePath;       // the exe link as the kernel wrote it

    bool operator==(const ProcessIdentity&) const = default;
};
