#pragma once

#include "Models/StorageBucket.h"

#include <vector>

// The one order of buckets everywhere on the storage screens: largest first, equal sizes keep their order.
namespace BucketOrder {

std::vector<StorageBucket> largestFirst(std::vector<StorageBucket> buckets);

}  // namespace BucketOrder
