#pragma once

#include "Models/DuplicateGroup.h"

#include <filesystem>
#include <vector>

// What a duplicate search found: the groups, the most space a move would free first, and the files
// it could not read to compare (no permission, an I/O error, no file descriptor left), each of which
// may have copies the search could not see.
struct DuplicateSearchResult {
    std::vector<DuplicateGroup> groups;
    std::vector<std::filesystem::path> notCompared;
};
