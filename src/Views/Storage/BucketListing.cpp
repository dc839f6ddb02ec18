#include "Views/Storage/BucketListing.h"

#include "Models/NameCollator.h"
#include "Foundation/PathText.h"



#include <algorithm>

namespace BucketListing {

std::vector<StorageBucket> visibleBuckets(const std::vector<StorageBucket>& buckets, const QString& filter,
                                          FolderSort sort) {
    std::vector<StorageBucket> visible;
    for (const StorageBucket& bucket : buckets)
        if (filter.isEmpty() || PathText::display(bucket.name()).contains(filter, Qt::CaseInsensitive))
            visible.push_back(bucket);

    switch (sort) {
    case FolderSort::size:
        return visible;  // the snapshot's own order
    case FolderSort::name: {
        const QCollator collator = nameCollator(true);
        std::vector<std::pair<QString, StorageBucket>> named;
        named.reserve(visible.size());
        for (StorageBucket& bucket : visible) named.emplace_back(PathText::display(bucket.name()), std::move(bucket));
        std::stable_sort(named.begin(), named.end(),
                         [&](const auto& a, const auto& b) { return collator.compare(a.first, b.first) < 0; });
        visible.clear();
        for (auto& [name, bucket] : named) visible.push_back(std::move(bucket));
        return visible;
    }
    case FolderSort::items:
        std::stable_sort(visible.begin(), visible.end(),
                         [](const StorageBucket& a, const StorageBucket& b) { return a.fileCount > b.fileCount; });
        return visible;
    }
    return visible;
}

std::optional<StorageBucket> selectedBucket(const std::vector<StorageBucket>& buckets,
                                            const std::optional<std::string>& selectedID) {
    if (selectedID) {
        auto found = std::find_if(buckets.begin(), buckets.end(),
                                  [&](const StorageBucket& bucket) { return bucket.path == *selectedID; });
        if (found != buckets.end()) return *found;
    }
    if (buckets.empty()) return std::nullopt;
    return buckets.front();
}

}  // namespace BucketListing
