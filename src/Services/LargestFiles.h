#pragma once

#include "Services/LargeFileRecord.h"

#include <cstdint>
#include <vector>

// The `capacity` largest files seen, kept as a binary min-heap on size so that a file too small to
// enter costs one comparison.
class LargestFiles {
public:
    explicit LargestFiles(std::int64_t capacity = 4000) : capacity_(capacity) {}

    // False when a record of this size would not be taken, so the caller need not build its path.
    bool admits(std::int64_t size) const {
        return capacity_ >= 1 && (static_cast<std::int64_t>(records_.size()) < capacity_ || records_[0].size < size);
    }
    // Taken while below capacity; then only when strictly larger than the smallest kept record.
    void insert(LargeFileRecord record);

    // Largest first; equal sizes keep the heap array's order.
    std::vector<LargeFileRecord> sortedDescending() const;

    const std::vector<LargeFileRecord>& records() const { return records_; }
    std::int64_t capacity() const { return capacity_; }

private:
    void siftUp(size_t index);
    void siftDown(size_t index);

    std::int64_t capacity_;
    std::vector<LargeFileRecord> records_;
};
