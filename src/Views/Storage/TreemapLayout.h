#pragma once

#include "Models/StorageBucket.h"

#include <QRectF>

#include <vector>

// Squarified treemap (Bruls, Huizing, van Wijk): one rectangle per bucket, areas proportional to
// size (at least one byte each), tiling the given rectangle. Pure; used by the blocks and 3D maps.
namespace TreemapLayout {

struct Entry {
    StorageBucket item;
    QRectF rect;
};

// Entries come largest first (ties in input order); empty for no buckets or an empty rectangle.
std::vector<Entry> rectangles(const std::vector<StorageBucket>& items, const QRectF& rect);

}  // namespace TreemapLayout
