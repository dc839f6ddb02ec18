#include "Views/Storage/StorageRankPalette.h"

#include "Views/DesignSystem/DS.h"

const std::array<DynamicColor, 8>& StorageRankPalette::tints() {
    static const std::array<DynamicColor, 8> list{DS::amber, DS::orange, DS::pink, DS::purple,
                                                  DS::blue,  DS::teal,   DS::green, DS::cyan};
    return list;
}

StorageRankPalette::StorageRankPalette(const std::vector<StorageBucket>& buckets) {
    for (std::size_t rank = 0; rank < buckets.size() && rank < tints().size(); ++rank)
        colors_.emplace(buckets[rank].path, tints()[rank]);
}

DynamicColor StorageRankPalette::color(const std::string& id) const {
    auto found = colors_.find(id);
    return found == colors_.end() ? DS::gray : found->second;
}
