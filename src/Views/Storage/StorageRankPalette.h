#pragma once

#include "Models/StorageBucket.h"
#include "Views/DesignSystem/DynamicColor.h"

#include <array>
#include <map>
#include <string>
#include <vector>

// The colour of each of the eight largest buckets by size rank; every other bucket is gray. Built
// from all buckets of a snapshot, so a folder keeps its colour when the list is filtered or sorted.
class StorageRankPalette {
public:
    static const std::array<DynamicColor, 8>& tints();

    StorageRankPalette() = default;
    // `buckets` largest first, as a snapshot holds them.
    explicit StorageRankPalette(const std::vector<StorageBucket>& buckets);

    const std::map<std::string, DynamicColor>& colors() const { return colors_; }
    // The bucket's rank colour, DS.gray when it has none.
    DynamicColor color(const std::string& id) const;

private:
    std::map<std::string, DynamicColor> colors_;
};
