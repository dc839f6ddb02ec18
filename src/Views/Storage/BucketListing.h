#pragma once

#include "Models/StorageBucket.h"
#include "Views/Storage/FolderSort.h"

#include <QString>

#include <limits>
#include <optional>
#include <string>
#include <vector>

// What the storage screen's folder list, maps and inspector show of a snapshot's buckets.
namespace BucketListing {

// `buckets` come largest first, as a snapshot holds them.

// Buckets whose name contains the filter (case-insensitive, not trimmed), in the chosen stable order,
// pointing into `buckets`; names sort as people read them: "Shot 2" before "Shot 10". Only the first
// `ordered` are put in order (no list shows more), the rest follow in the snapshot's order: sorting a
// million names would hold the screen for seconds.
std::vector<const StorageBucket*> visibleBuckets(const std::vector<StorageBucket>& buckets, const QString& filter, FolderSort sort,
                                                 std::size_t ordered = std::numeric_limits<std::size_t>::max());

// Whether a bucket of `buckets` has this identifier (its path).
bool holds(const std::vector<StorageBucket>& buckets, const std::string& id);

// The selected bucket when it is among the buckets, else the largest (the first); none for no buckets.
std::optional<StorageBucket> selectedBucket(const std::vector<StorageBucket>& buckets,
                                            const std::optional<std::string>& selectedID);

}  // namespace BucketListing
