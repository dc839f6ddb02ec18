#pragma once

#include "Models/StorageBucket.h"

#include <cstddef>
#include <vector>

// The one order of buckets everywhere on the storage screens: largest first, equal sizes keep their order.
namespace BucketOrder {

std::vector<StorageBucket> largestFirst(std::vector<StorageBucket> buckets);

// The first `count` buckets of a list in any order, pointing into it instead of copying it: a scan
// may hold a million buckets of which a map shows a handful.
std::vector<const StorageBucket*> top(const std::vector<const StorageBucket*>& buckets, std::size_t count);

}  // namespace BucketOrder
