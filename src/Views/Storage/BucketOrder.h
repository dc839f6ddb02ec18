#pragma once

#include "Models/StorageBucket.h"

#include <cstddef>
#include <vector>

// The one order of buckets everywhere on the storage screens: largest first, equal sizes keep their order.
namespace BucketOrder {

std::vector<StorageBucket> largestFirst(std::vector<StorageBucket> buckets);

// The first `count` buckets in that order, pointing into the list instead of copying it: a scan
// may hold a million buckets of which a screen shows a handful.
std::vector<const StorageBucket*> top(const std::vector<const StorageBucket*>& buckets, std::size_t count);
std::vector<const StorageBucket*> top(const std::vector<StorageBucket>& buckets, std::size_t count);

// The first bucket no other exceeds; nullptr for an empty list.
const StorageBucket* largest(const std::vector<StorageBucket>& buckets);

}  // namespace BucketOrder
