#include "Services/WorkerPool.h"

#include "Services/Cancelled.h"
#include "Services/ManagedFlag.h"

#include <mutex>
#include <sched.h>
#include <thread>
#include <unistd.h>
#include <vector>

void WorkerPool::run(int count, const std::function<void()>& body, std::chrono::steady_clock::duration interval,
                     const std::function<void()>& tick, const std::function<void()>& cancel, std::stop_token stop) {
    ManagedFlag done;
    std::mutex remainingLock;
    int remaining = count;
    std::stop_callback onStop(stop, cancel);
    {
        std::vector<std::jthread> workers;
        workers.reserve(count);
        for (int i = 0; i < count; ++i) {
            workers.emplace_back([&] {
                body();
                std::lock_guard lock(remainingLock);
                if (--remaining == 0) done.set();
            });
        }
        if (count < 1) done.set();
        // Waking on the flag rather than sleeping the whole interval ends short walks at once.
        while (!done.isSet()) {
            if (done.waitFor(interval)) break;
            if (tick) tick();
        }
    }
    if (stop.stop_requested()) throw Cancelled();
}

int WorkerPool::activeProcessorCount() {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof(set), &set) == 0) {
        int n = CPU_COUNT(&set);
        if (n > 0) return n;
    }
    long online = sysconf(_SC_NPROCESSORS_ONLN);
    return online > 0 ? int(online) : 1;
}
