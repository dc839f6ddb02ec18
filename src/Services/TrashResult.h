#pragma once

#include "Platform/TrashError.h"

#include <cstdint>
#include <filesystem>
#include <vector>

// What a tool's move to the Trash did: how many items went, which were left because they are no
// longer what was listed, and which the Trash refused. Every item is tried, whatever befell the
// others.
struct TrashResult {
    std::int64_t moved = 0;
    std::vector<std::filesystem::path> changed = {};
    std::vector<TrashError> failed = {};
};
