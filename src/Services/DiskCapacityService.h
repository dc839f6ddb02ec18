#pragma once

#include <cstdint>
#include <filesystem>

// Total and available bytes of the volume that holds a location, asked afresh on every call.
class DiskCapacityService {
public:
    struct Capacity {
        std::int64_t total = 0;
        std::int64_t available = 0;  // what an unprivileged user may still write
        bool operator==(const Capacity&) const = default;
    };

    // 0 and 0 when the volume cannot be queried. Callable on any thread.
    Capacity capacity(const std::filesystem::path& location) const;
};
