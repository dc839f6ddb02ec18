#include "Views/Storage/BucketOrder.h"

#include <algorithm>

namespace BucketOrder {

std::vector<StorageBucket> largestFirst(std::vector<StorageBucket> buckets) {
    std::stable_sort(buckets.begin(), buckets.end(),
                     [](const StorageBucket& a, const StorageBucket& b) { return a.size > b.size; });
    return buckets;
}

const StorageBucket* largest(const std::vector<StorageBucket>& buckets) {
    const StorageBucket* best = nullptr;
    for (const StorageBucket& bucket : buckets)
        if (!best || bucket.size > best->size) best = &bucket;
    return best;
}

}  // namespace BucketOrder
