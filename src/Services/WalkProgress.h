#pragma once

#include "Foundation/SaturatingSum.h"

#include <cstdint>
#include <mutex>
#include <string>

// The progress counters of a parallel walk under their own lock: a worker adds once per finished
// directory, the polling loop reads once per tick. Never per file.
class WalkProgress {
public:
    struct Counts {
        std::string path;  // the directory finished last
        std::int64_t files = 0;
        std::int64_t bytes = 0;
    };

    explicit WalkProgress(std::string initialPath = {}) { counts_.path = std::move(initialPath); }

    void add(std::int64_t files, std::int64_t bytes, const std::string& path) {
        std::lock_guard guard(lock_);
        counts_.files += files;
        counts_.bytes = saturatingSum(counts_.bytes, bytes);
        counts_.path.assign(path);  // keeps its storage: no allocation per directory
    }

    Counts read() const {
        std::lock_guard guard(lock_);
        return counts_;
    }

private:
    mutable std::mutex lock_;
    Counts counts_;
};
