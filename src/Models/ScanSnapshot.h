#pragma once

#include "Models/ScannedFile.h"
#include "Models/StorageBucket.h"
#include "Foundation/Instant.h"

#include <cstdint>
#include <filesystem>
#include <vector>

// The result of one completed scan.
struct ScanSnapshot {
    std::filesystem::path rootPath;
    std::int64_t totalSize = 0;  // allocated bytes, saturating
    std::int64_t fileCount = 0;
    std::int64_t folderCount = 0;
    std::int64_t inaccessibleCount = 0;
    double duration = 0;  // seconds
    std::vector<StorageBucket> buckets;  // largest first
    std::vector<ScannedFile> largestFiles;  // largest first, at most 4000
    Instant scannedAt;
    bool includesHiddenFiles = false;  // whether entries whose names begin with a dot were counted
};
