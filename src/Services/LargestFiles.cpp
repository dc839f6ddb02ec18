#include "Services/LargestFiles.h"

#include <algorithm>
#include <utility>

void LargestFiles::insert(LargeFileRecord record) {
    if (!admits(record.size)) return;
    if (static_cast<std::int64_t>(records_.size()) < capacity_) {
        records_.push_back(std::move(record));
        siftUp(records_.size() - 1);
    } else {
        records_[0] = std::move(record);
        siftDown(0);
    }
}

void LargestFiles::siftUp(size_t index) {
    while (index > 0) {
        size_t parent = (index - 1) / 2;
        if (!(records_[index].size < records_[parent].size)) return;
        std::swap(records_[index], records_[parent]);
        index = parent;
    }
}

void LargestFiles::siftDown(size_t index) {
    for (size_t child = 2 * index + 1; child < records_.size(); child = 2 * index + 1) {
        if (child + 1 < records_.size() && records_[child + 1].size < records_[child].size) ++child;
        if (!(records_[child].size < records_[index].size)) return;
        std::swap(records_[index], records_[child]);
        index = child;
    }
}

std::vector<LargeFileRecord> LargestFiles::sortedDescending() const {
    std::vector<LargeFileRecord> sorted = records_;
    std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.size > b.size; });
    return sorted;
}
