#pragma once

#include "Models/StorageBucket.h"
#include "Views/Storage/FolderSort.h"

#include <QString>

#include <optional>
#include <string>
#include <vector>

// What the storage screen's folder list, maps and inspector show of a snapshot's buckets.
namespace BucketListing {

// `buckets` come largest first, as a snapshot holds them.

// Buckets whose name contains the filter (case-insensitive, not trimmed), in the chosen stable order;
// names sort as people read them: "Shot 2" before "Shot 10".
std::vector<StorageBucket> visibleBuckets(const std::vector<StorageBucket>& buckets, const QString& filter,
                                          FolderSort sort);

// The selected bucket when it is among the buckets, else the largest (the first); none for no buckets.
std::optional<StorageBucket> selectedBucket(const std::vector<StorageBucket>& buckets,
                                            const std::optional<std::string>& selectedID);

}  // namespace BucketListing
