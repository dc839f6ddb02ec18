#pragma once

#include "Platform/TrashError.h"

#include <cstddef>
#include <filesystem>
#include <vector>

// What a tool's move to the Trash did: which items went (their positions among the items asked, in
// order), which were left because they are no longer what was listed, and which the Trash refused.
// Every item is tried, whatever befell the others.
struct TrashResult {
    std::vector<std::size_t> moved = {};
    std::vector<std::filesystem::path> changed = {};
    std::vector<TrashError> failed = {};
};
