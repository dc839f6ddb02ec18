#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>

// Total, free and available bytes of the volume that holds a location, asked afresh on every call.
// Free less available is what the file system keeps back for root (ext4 keeps 5 % by default): df
// calls it neither used nor available, and so does every screen here.
class DiskCapacityService {
public:
    struct Capacity {
        std::int64_t total = 0;
        std::int64_t available = 0;  // what an unprivileged user may still write
        std::int64_t free = 0;       // available and the blocks kept for root; 0 when not known
        bool operator==(const Capacity&) const = default;

        // What df calls used: total less free.
        std::int64_t used() const { return std::max<std::int64_t>(total - std::max(free, available), 0); }
        // The blocks kept for root, which no user's file holds and no user may write.
        std::int64_t reserved() const { return std::max<std::int64_t>(free - std::max<std::int64_t>(available, 0), 0); }
    };

    // 0 and 0 when the volume cannot be queried. Callable on any thread.
    Capacity capacity(const std::filesystem::path& location) const;
};
