#pragma once

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

// Frees whoever hangs in open() on a FIFO while the test's own code runs: if the code under test has
// not finished after a grace period, the watch opens the FIFO's writing end, which releases a reader
// waiting there. waited() then says whether anyone was: a writer's non-blocking open finds a reader
// only while one is in open(), so the answer does not depend on timing.
class FifoWatch {
public:
    explicit FifoWatch(std::filesystem::path fifo);
    ~FifoWatch();
    FifoWatch(const FifoWatch&) = delete;
    FifoWatch& operator=(const FifoWatch&) = delete;

    // Call when the code under test has returned; true when it had to be freed from the FIFO.
    bool waited();

private:
    std::filesystem::path fifo_;
    std::mutex mutex_;
    std::condition_variable finished_;
    bool done_ = false;
    bool freed_ = false;
    std::thread watcher_;
};
