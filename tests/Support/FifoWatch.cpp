#include "Support/FifoWatch.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>

FifoWatch::FifoWatch(std::filesystem::path fifo) : fifo_(std::move(fifo)) {
    watcher_ = std::thread([this] {
        std::unique_lock lock(mutex_);
        // Long enough for any honest call on a loaded machine; the outcome never rests on it.
        while (!done_) {
            if (finished_.wait_for(lock, std::chrono::seconds(10), [this] { return done_; })) return;
            const int fd = ::open(fifo_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                freed_ = true;
                ::close(fd);
            }
        }
    });
}

FifoWatch::~FifoWatch() {
    waited();
}

bool FifoWatch::waited() {
    {
        std::lock_guard lock(mutex_);
        done_ = true;
    }
    finished_.notify_all();
    if (watcher_.joinable()) watcher_.join();
    return freed_;
}
