#pragma once

#include <cstdint>
#include <exception>
#include <filesystem>
#include <vector>

// What a tool's move to the Trash did: how many items went, which were left because they are no
// longer what was listed, and the failure that ended the move early, if one did.
struct TrashResult {
    std::int64_t moved = 0;
    std::vector<std::filesystem::path> changed = {};
    std::exception_ptr error = {};  // the items after the failing one were not tried
};
