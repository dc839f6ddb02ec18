#pragma once

#include "Models/ScannedFile.h"

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

// Files whose contents are identical; the first copy is the one the tools keep.
struct DuplicateGroup {
    std::string id;  // lower-case hex SHA-256 of the shared content
    std::vector<ScannedFile> files;
    std::int64_t fileSize = 0;  // logical length of each copy

    // The space the copies beyond the first take, saturating.
    std::int64_t wastedBytes() const {
        std::int64_t extra = files.empty() ? 0 : static_cast<std::int64_t>(files.size() - 1);
        if (fileSize <= 0 || extra == 0) return 0;
        if (fileSize > std::numeric_limits<std::int64_t>::max() / extra) return std::numeric_limits<std::int64_t>::max();
        return fileSize * extra;
    }

    bool operator==(const DuplicateGroup&) const = default;
};
