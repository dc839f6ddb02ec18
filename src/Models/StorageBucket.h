#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

// One top-level entry of a scanned folder with everything counted beneath it.
struct StorageBucket {
    std::string id;  // the entry's full path (bytes)
    std::string name;  // the entry's own name, as read from the folder (bytes)
    std::filesystem::path url;
    std::int64_t size = 0;  // allocated bytes
    std::int64_t fileCount = 0;

    bool operator==(const StorageBucket&) const = default;
};
