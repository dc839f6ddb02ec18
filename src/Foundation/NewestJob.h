#pragma once

#include <cstdint>

// Only the newest job publishes: starting a job makes every earlier one stale, and supersede()
// makes the running one stale too (it was cancelled). A newest job that ends with nothing to publish
// withdraws, so the one started before it may still publish. Lives on its owner's thread.
class NewestJob {
public:
    using Ticket = std::uint64_t;

    Ticket start() { return ++newest_; }
    void supersede() { ++newest_; }
    bool isNewest(Ticket ticket) const { return ticket == newest_; }
    void withdraw(Ticket ticket) {
        if (ticket == newest_) --newest_;
    }

private:
    Ticket newest_ = 0;
};
