#pragma once

#include "Models/DuplicateScanPhase.h"

#include <cstdint>
#include <optional>
#include <string>

// The live state of a duplicate search. Totals are absent while indexing.
struct DuplicateScanProgress {
    DuplicateScanPhase phase = DuplicateScanPhase::indexing;
    std::string path;
    std::int64_t filesProcessed = 0;
    std::optional<std::int64_t> totalFiles;
    std::int64_t bytesProcessed = 0;
    std::optional<std::int64_t> totalBytes;
    std::int64_t groupsFound = 0;
};
