#pragma once

#include "Foundation/SaturatingSum.h"
#include "Models/ScannedFile.h"

#include <cstdint>
#include <string>
#include <vector>

// Files whose contents are identical; the first copy is the one the tools keep.
struct DuplicateGroup {
    std::string id;  // lower-case hex SHA-256 of the shared content
    std::vector<ScannedFile> files;
    std::int64_t fileSize = 0;  // logical length of each copy

    // The space the copies beyond the first take, saturating.
    std::int64_t wastedBytes() const {
        return files.empty() ? 0 : saturatingProduct(fileSize, static_cast<std::int64_t>(files.size() - 1));
    }

    bool operator==(const DuplicateGroup&) const = default;
};
