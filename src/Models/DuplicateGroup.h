#pragma once

#include "Foundation/SaturatingSum.h"
#include "Models/ScannedFile.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

// Files whose contents are identical; the first copy is the one the tools keep.
struct DuplicateGroup {
    std::string id;  // lower-case hex SHA-256 of the shared content
    std::vector<ScannedFile> files;  // each copy's size is what it takes on disk
    std::int64_t fileSize = 0;  // logical length of each copy

    // Whether moving `copy` to the Trash, and emptying it, frees the copy's space: not when the file
    // had another name when it was listed, which keeps its content. The finder lists one name of each
    // file, so that other name is never among the copies moved. A copy listed without its identity
    // counts.
    static bool freesSpace(const ScannedFile& copy) { return !copy.identity || copy.identity->links <= 1; }
    // What moving `copy` frees on disk: what it takes there, when it has one name. A copy that holds
    // no block (all holes) frees nothing either.
    static std::int64_t freedBytes(const ScannedFile& copy) { return freesSpace(copy) ? std::max<std::int64_t>(copy.size, 0) : 0; }

    // The space that moving the copies beyond the first would free, saturating.
    std::int64_t reclaimableBytes() const {
        std::int64_t freeing = 0;
        for (std::size_t index = 1; index < files.size(); ++index) freeing = saturatingSum(freeing, freedBytes(files[index]));
        return freeing;
    }

    // The order groups are listed in: the one whose move frees more first.
    static bool freesMore(const DuplicateGroup& a, const DuplicateGroup& b) { return a.reclaimableBytes() > b.reclaimableBytes(); }

    bool operator==(const DuplicateGroup&) const = default;
};
