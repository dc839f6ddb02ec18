#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

// A done flag set once by the last worker of a walk and read by the polling loop. The loop's wait
// ends early when the flag is set, so a walk that finishes between polls is not kept waiting.
class ManagedFlag {
public:
    void set() {
        {
            std::lock_guard guard(lock_);
            value_ = true;
        }
        changed_.notify_all();
    }

    bool isSet() const {
        std::lock_guard guard(lock_);
        return value_;
    }

    void waitUntil(std::chrono::steady_clock::time_point deadline) const {
        std::unique_lock guard(lock_);
        changed_.wait_until(guard, deadline, [this] { return value_; });
    }

private:
    mutable std::mutex lock_;
    mutable std::condition_variable changed_;
    bool value_ = false;
};
