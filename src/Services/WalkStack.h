#pragma once

#include "Services/WalkItem.h"

#include <condition_variable>
#include <mutex>
#include <optional>
#include <vector>

// The work shared by the threads of a parallel walk: one last-in-first-out stack of directories,
// the number of directories being read, the cancelled flag and the workers' handed-in results,
// all under one mutex. Children are pushed in reading order and taken from the end, so each worker
// goes depth first and the stack stays small.
template <typename Result>
class WalkStack {
public:
    explicit WalkStack(std::vector<WalkItem> items = {}) : stack_(std::move(items)) {}

    // Only before any worker starts.
    void seed(WalkItem item) { stack_.push_back(std::move(item)); }

    // Blocks until there is a directory to read; nothing once the walk is over or cancelled.
    std::optional<WalkItem> next() {
        std::unique_lock guard(mutex_);
        while (stack_.empty() && activeItems_ > 0 && !cancelled_) condition_.wait(guard);
        if (cancelled_ || stack_.empty()) {
            guard.unlock();
            condition_.notify_all();  // the others must see the end or the cancellation too
            return std::nullopt;
        }
        WalkItem item = std::move(stack_.back());
        stack_.pop_back();
        ++activeItems_;
        return item;
    }

    // Ends the directory taken last by this worker: pushes its subdirectories (moved out; the
    // list keeps its storage for the next directory).
    void finished(std::vector<WalkItem>& children) {
        {
            std::lock_guard guard(mutex_);
            for (WalkItem& child : children) stack_.push_back(std::move(child));
            --activeItems_;
        }
        children.clear();
        condition_.notify_all();
    }

    void handIn(Result result) {
        std::lock_guard guard(mutex_);
        results_.push_back(std::move(result));
    }

    // Safe from any thread, any number of times. Directories still on the stack are never read.
    void cancel() {
        {
            std::lock_guard guard(mutex_);
            cancelled_ = true;
        }
        condition_.notify_all();
    }

    // In the order the workers handed them in; only after every worker has returned.
    std::vector<Result> takeResults() {
        std::lock_guard guard(mutex_);
        return std::move(results_);
    }

private:
    std::mutex mutex_;
    std::condition_variable condition_;
    std::vector<WalkItem> stack_;
    std::int64_t activeItems_ = 0;
    bool cancelled_ = false;
    std::vector<Result> results_;
};
