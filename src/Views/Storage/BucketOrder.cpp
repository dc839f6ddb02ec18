#include "Views/Storage/BucketOrder.h"

#include <algorithm>
#include <numeric>

namespace BucketOrder {

std::vector<StorageBucket> largestFirst(std::vector<StorageBucket> buckets) {
    std::stable_sort(buckets.begin(), buckets.end(),
                     [](const StorageBucket& a, const StorageBucket& b) { return a.size > b.size; });
    return buckets;
}

std::vector<const StorageBucket*> top(const std::vector<const StorageBucket*>& buckets, std::size_t count) {
    count = std::min(count, buckets.size());
    // Positions break ties, which keeps the partial sort stable.
    std::vector<std::size_t> order(buckets.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::partial_sort(order.begin(), order.begin() + std::ptrdiff_t(count), order.end(), [&](std::size_t a, std::size_t b) {
        return buckets[a]->size != buckets[b]->size ? buckets[a]->size > buckets[b]->size : a < b;
    });
    std::vector<const StorageBucket*> result;
    result.reserve(count);
    for (std::size_t i = 0; i < count; ++i) result.push_back(buckets[order[i]]);
    return result;
}

}  // namespace BucketOrder
