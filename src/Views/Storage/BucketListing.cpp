#include "Views/Storage/BucketListing.h"

#include "Foundation/PathText.h"
#include "Models/NameCollator.h"

#include <algorithm>
#include <numeric>

namespace BucketListing {

namespace {

// Puts the first `count` of `items` in the order `before` gives, stably; the rest keep their order.
template <typename T, typename Before>
void orderFirst(std::vector<T>& items, std::size_t count, Before before) {
    if (count >= items.size()) {
        std::stable_sort(items.begin(), items.end(), before);
        return;
    }
    std::vector<std::size_t> order(items.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::partial_sort(order.begin(), order.begin() + std::ptrdiff_t(count), order.end(), [&](std::size_t a, std::size_t b) {
        if (before(items[a], items[b])) return true;
        if (before(items[b], items[a])) return false;
        return a < b;
    });
    std::vector<bool> taken(items.size(), false);
    std::vector<T> result;
    result.reserve(items.size());
    for (std::size_t i = 0; i < count; ++i) {
        result.push_back(std::move(items[order[i]]));
        taken[order[i]] = true;
    }
    for (std::size_t i = 0; i < items.size(); ++i)
        if (!taken[i]) result.push_back(std::move(items[i]));
    items = std::move(result);
}

}  // namespace

std::vector<const StorageBucket*> visibleBuckets(const std::vector<StorageBucket>& buckets, const QString& filter, FolderSort sort,
                                                 std::size_t ordered) {
    std::vector<const StorageBucket*> visible;
    visible.reserve(filter.isEmpty() ? buckets.size() : 0);
    for (const StorageBucket& bucket : buckets)
        if (filter.isEmpty() || PathText::display(bucket.name()).contains(filter, Qt::CaseInsensitive)) visible.push_back(&bucket);

    switch (sort) {
    case FolderSort::size:
        break;  // the snapshot's own order
    case FolderSort::name: {
        const QCollator collator = nameCollator(true);
        std::vector<std::pair<QString, const StorageBucket*>> named;
        named.reserve(visible.size());
        for (const StorageBucket* bucket : visible) named.emplace_back(PathText::display(bucket->name()), bucket);
        orderFirst(named, ordered, [&](const auto& a, const auto& b) { return collator.compare(a.first, b.first) < 0; });
        for (std::size_t i = 0; i < named.size(); ++i) visible[i] = named[i].second;
        break;
    }
    case FolderSort::items:
        orderFirst(visible, ordered, [](const StorageBucket* a, const StorageBucket* b) { return a->fileCount > b->fileCount; });
        break;
    }
    return visible;
}

namespace {

std::vector<StorageBucket>::const_iterator find(const std::vector<StorageBucket>& buckets, const std::string& id) {
    return std::find_if(buckets.begin(), buckets.end(), [&](const StorageBucket& bucket) { return bucket.path == id; });
}

}  // namespace

bool holds(const std::vector<StorageBucket>& buckets, const std::string& id) { return find(buckets, id) != buckets.end(); }

std::optional<StorageBucket> selectedBucket(const std::vector<StorageBucket>& buckets,
                                            const std::optional<std::string>& selectedID) {
    if (selectedID) {
        if (auto found = find(buckets, *selectedID); found != buckets.end()) return *found;
    }
    if (buckets.empty()) return std::nullopt;
    return buckets.front();
}

}  // namespace BucketListing
