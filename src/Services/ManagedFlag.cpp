#include "Services/ManagedFlag.h"

void ManagedFlag::set() {
    {
        std::lock_guard lock(lock_);
        value_ = true;
    }
    changed_.notify_all();
}

bool ManagedFlag::isSet() const {
    std::lock_guard lock(lock_);
    return value_;
}

bool ManagedFlag::waitFor(std::chrono::steady_clock::duration timeout) const {
    std::unique_lock lock(lock_);
    return changed_.wait_until(lock, std::chrono::steady_clock::now() + timeout, [&] { return value_; });
}
