#include "Foundation/ProcessEnd.h"

#include <unistd.h>

#include <atomic>
#include <shared_mutex>

namespace ProcessEnd {

namespace {

std::atomic<bool> ending = false;

// Never destroyed: the process may end while static objects are being destroyed.
std::shared_timed_mutex& stepsLock() {
    static auto* const lock = new std::shared_timed_mutex;
    return *lock;
}

}  // namespace

Step::Step() {
    // Once the end is decided nothing new begins: the thread waits here for the process to go.
    if (ending.load())
        for (;;) ::pause();
    stepsLock().lock_shared();
}

Step::~Step() { stepsLock().unlock_shared(); }

void now(int status, std::chrono::milliseconds stepLimit) {
    ending.store(true);
    (void)stepsLock().try_lock_for(stepLimit);
    ::_exit(status);
}

}  // namespace ProcessEnd
