#include "Views/Storage/TreemapLayout.h"

#include "Views/Storage/BucketOrder.h"

#include <algorithm>
#include <limits>

namespace TreemapLayout {
namespace {

double worstRatio(const std::vector<double>& areas, const std::vector<std::size_t>& row, double side) {
    double sum = 0, largest = 0, smallest = std::numeric_limits<double>::infinity();
    for (std::size_t index : row) {
        sum += areas[index];
        largest = std::max(largest, areas[index]);
        smallest = std::min(smallest, areas[index]);
    }
    if (sum <= 0 || side <= 0 || smallest <= 0) return std::numeric_limits<double>::infinity();
    const double s2 = side * side;
    return std::max((s2 * largest) / (sum * sum), (sum * sum) / (s2 * smallest));
}

}  // namespace

std::vector<Entry> rectangles(const std::vector<StorageBucket>& items, const QRectF& rect) {
    if (items.empty() || !(rect.width() > 0) || !(rect.height() > 0)) return {};

    const std::vector<StorageBucket> sorted = BucketOrder::largestFirst(items);
    double total = 0;
    for (const StorageBucket& bucket : sorted) total += double(std::max<std::int64_t>(bucket.size, 1));
    const double scale = (rect.width() * rect.height()) / total;
    std::vector<double> areas;
    areas.reserve(sorted.size());
    for (const StorageBucket& bucket : sorted) areas.push_back(scale * double(std::max<std::int64_t>(bucket.size, 1)));

    std::vector<Entry> entries;
    entries.reserve(sorted.size());
    QRectF free = rect;

    // Lays the row along the free rectangle's shorter side; the last strip fills what is left.
    auto layoutStrip = [&](const std::vector<std::size_t>& row, bool last) {
        double sum = 0;
        for (std::size_t index : row) sum += areas[index];
        const double w = free.width(), h = free.height();
        if (h <= w) {
            const double thickness = last ? w : std::min(sum / h, w);
            double y = free.top();
            for (std::size_t i = 0; i < row.size(); ++i) {
                const bool end = i + 1 == row.size();
                const double height = end ? free.bottom() - y : (areas[row[i]] / sum) * h;
                entries.push_back({sorted[row[i]], QRectF(free.left(), y, thickness, height)});
                y += height;
            }
            free = QRectF(free.left() + thickness, free.top(), w - thickness, h);
        } else {
            const double thickness = last ? h : std::min(sum / w, h);
            double x = free.left();
            for (std::size_t i = 0; i < row.size(); ++i) {
                const bool end = i + 1 == row.size();
                const double width = end ? free.right() - x : (areas[row[i]] / sum) * w;
                entries.push_back({sorted[row[i]], QRectF(x, free.top(), width, thickness)});
                x += width;
            }
            free = QRectF(free.left(), free.top() + thickness, w, h - thickness);
        }
    };

    std::vector<std::size_t> row;
    std::size_t next = 0;
    while (next < sorted.size()) {
        const double side = std::min(free.width(), free.height());
        if (row.empty()) {
            row.push_back(next++);
            continue;
        }
        std::vector<std::size_t> extended = row;
        extended.push_back(next);
        if (worstRatio(areas, extended, side) <= worstRatio(areas, row, side)) {
            row = std::move(extended);
            ++next;
        } else {
            layoutStrip(row, false);
            row.clear();
        }
    }
    layoutStrip(row, true);
    return entries;
}

}  // namespace TreemapLayout
