#include "Models/FreedSpace.h"

#include "Foundation/SaturatingSum.h"

#include <algorithm>
#include <unordered_map>

std::int64_t FreedSpace::unsharedBlocks(std::int64_t allocated, std::int64_t sharedBytes) {
    return std::max<std::int64_t>(allocated - std::max<std::int64_t>(sharedBytes, 0), 0);
}

FreedSpace FreedSpace::ofName(const std::optional<FileIdentity>& identity, std::int64_t allocated, std::int64_t sharedBytes, bool compressed) {
    // Only what frees something can free less than its figure.
    const std::int64_t bytes = unsharedBlocks(allocated, sharedBytes);
    if (!identity || identity->links <= 1) return {bytes, {}, compressed && bytes > 0};
    return {0, {{identity->device, identity->inode, identity->links, 1, bytes, allocated}}, compressed && bytes > 0};
}

bool FreedSpace::anyUpTo(const std::vector<const FreedSpace*>& items) {
    return std::any_of(items.begin(), items.end(), [](const FreedSpace* item) { return item->upTo; });
}

std::int64_t FreedSpace::alone() const {
    std::int64_t freed = std::max<std::int64_t>(singleNamedBytes, 0);
    for (const LinkedFile& file : linked)
        if (file.names >= file.links) freed = saturatingSum(freed, file.bytes);
    return freed;
}

std::int64_t FreedSpace::together(const std::vector<const FreedSpace*>& items) {
    std::int64_t freed = 0;
    std::unordered_map<FileKey, LinkedFile, FileKeyHash> files;
    for (const FreedSpace* item : items) {
        freed = saturatingSum(freed, std::max<std::int64_t>(item->singleNamedBytes, 0));
        for (const LinkedFile& file : item->linked) {
            auto [met, isNew] = files.try_emplace({file.device, file.inode}, file);
            if (!isNew) met->second.names += file.names;
        }
    }
    for (const auto& [key, file] : files)
        if (file.names >= file.links) freed = saturatingSum(freed, file.bytes);
    return freed;
}
