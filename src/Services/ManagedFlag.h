#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

// A done flag, set once by whoever finishes last and read by a polling loop, which may wait for it.
class ManagedFlag {
public:
    void set();
    bool isSet() const;
    // Waits up to `timeout` for the flag; returns whether it is set.
    bool waitFor(std::chrono::steady_clock::duration timeout) const;

private:
    mutable std::mutex lock_;
    mutable std::condition_variable changed_;
    bool value_ = false;
};
