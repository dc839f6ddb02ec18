#include "Models/TrashFigures.h"

#include "Foundation/SaturatingSum.h"

#include <algorithm>
#include <unordered_map>

TrashFigures TrashFigures::of(const std::vector<Item>& items) {
    TrashFigures figures;
    std::vector<const FreedSpace*> freed;
    freed.reserve(items.size());
    // A file several items hold is in each one's size: it goes to the Trash once.
    std::unordered_map<FreedSpace::FileKey, std::int64_t, FreedSpace::FileKeyHash> heldAgain;
    for (const Item& item : items) {
        figures.moved = saturatingSum(figures.moved, std::max<std::int64_t>(item.size, 0));
        freed.push_back(&item.freed);
        for (const FreedSpace::LinkedFile& file : item.freed.linked) {
            auto [met, isNew] = heldAgain.try_emplace({file.device, file.inode}, 0);
            if (!isNew) met->second = saturatingSum(met->second, file.allocated);
        }
    }
    for (const auto& [key, again] : heldAgain) figures.moved = std::max<std::int64_t>(figures.moved - again, 0);
    figures.freed = FreedSpace::together(freed);
    figures.freedUpTo = FreedSpace::anyUpTo(freed);
    return figures;
}
