#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// One top-level entry of a scanned folder with everything counted beneath it. Its path is its
// identity; its name is the path's last component, so a bucket holds one string.
struct StorageBucket {
    std::string path;  // the entry's full path (bytes)
    std::int64_t size = 0;  // allocated bytes
    std::int64_t fileCount = 0;

    // The entry's own name, as read from the folder (bytes).
    std::string_view name() const {
        const std::size_t slash = path.rfind('/');
        return slash == std::string::npos ? std::string_view(path) : std::string_view(path).substr(slash + 1);
    }

    bool operator==(const StorageBucket&) const = default;
};
