#pragma once

#include <algorithm>
#include <cstdint>

// The memory a group of processes holds (an application's, a project's): each one's anonymous pages,
// summed, and their shared memory taken as the most any one of them maps. Processes of one group
// mostly map the same segments (a browser's renderers and their GPU process, a server's workers), so
// a sum would count one segment once per process; the kernel tells no more without walking every
// page, which costs far more than a sample may.
class HeldMemory {
public:
    void add(std::uint64_t anonymousBytes, std::uint64_t sharedMemoryBytes) {
        anonymous_ += anonymousBytes;
        shared_ = std::max(shared_, sharedMemoryBytes);
    }
    // A process's proportional share of its pages: the shared memory it maps, divided among those
    // mapping it, adds up across the group.
    void addProportional(std::uint64_t anonymousBytes, std::uint64_t sharedMemoryBytes) {
        anonymous_ += anonymousBytes;
        proportionalShared_ += sharedMemoryBytes;
    }
    std::uint64_t bytes() const { return anonymous_ + std::max(shared_, proportionalShared_); }

private:
    std::uint64_t anonymous_ = 0;
    std::uint64_t shared_ = 0;
    std::uint64_t proportionalShared_ = 0;
};
