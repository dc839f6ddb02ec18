#pragma once

#include "Foundation/Instant.h"
#include "Models/SearchHit.h"

#include <cstddef>
#include <optional>
#include <vector>

// What one search found: the hits, whether more files matched than it lists, how many paths the index
// still lists whose files are gone, and when the index was last written.
struct SearchFindings {
    std::vector<SearchHit> hits;  // largest first; every one a file that existed when it was looked at
    bool hasMore = false;         // at least one more existing file matched beyond the cap
    std::size_t goneCount = 0;    // matches the index holds that are no longer on the disk
    std::optional<Instant> indexUpdatedAt;

    bool operator==(const SearchFindings&) const = default;
};
