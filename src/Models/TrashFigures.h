#pragma once

#include "Models/FreedSpace.h"

#include <cstdint>
#include <vector>

// The two figures of a move to the Trash: what goes there, the items' blocks on disk with a file
// that several of them hold counted once, and what emptying the Trash then gives back, which is less
// where files keep another name elsewhere or share their blocks (see FreedSpace).
struct TrashFigures {
    // One item: what it takes on disk, each of its files once, and what moving it frees.
    struct Item {
        std::int64_t size = 0;
        FreedSpace freed;
    };

    std::int64_t moved = 0;
    std::int64_t freed = 0;
    // Compressed files among them free less than their figure, by how much is not known.
    bool freedUpTo = false;

    static TrashFigures of(const std::vector<Item>& items);

    bool operator==(const TrashFigures&) const = default;
};
