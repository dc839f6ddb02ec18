#pragma once

#include "Models/DuplicateGroup.h"

#include <mutex>
#include <vector>

// Carries the groups a duplicate search confirms on its own threads to the main thread, which
// drains them in batches with each progress report.
class DuplicateGroupBuffer {
public:
    void append(const DuplicateGroup& group) {
        std::lock_guard lock(mutex_);
        pending_.push_back(group);
    }

    std::vector<DuplicateGroup> drain() {
        std::lock_guard lock(mutex_);
        return std::exchange(pending_, {});
    }

private:
    std::mutex mutex_;
    std::vector<DuplicateGroup> pending_;
};
