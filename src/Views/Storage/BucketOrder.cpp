#include "Views/Storage/BucketOrder.h"

#include <algorithm>

namespace BucketOrder {

std::vector<StorageBucket> largestFirst(std::vector<StorageBucket> buckets) {
    std::stable_sort(buckets.begin(), buckets.end(),
                     [](const StorageBucket& a, const StorageBucket& b) { return a.size > b.size; });
    return buckets;
}


}  // namespace BucketOrder
