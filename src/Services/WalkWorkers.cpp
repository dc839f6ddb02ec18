#include "Services/WalkWorkers.h"

#include "Foundation/Cancelled.h"
#include "Platform/WorkerPriority.h"
#include "Services/ManagedFlag.h"

#include <sched.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace WalkWorkers {

int activeProcessors() {
    cpu_set_t set;
    int processors = sched_getaffinity(0, sizeof set, &set) == 0 ? CPU_COUNT(&set)
                                                                  : static_cast<int>(std::thread::hardware_concurrency());
    return std::max(processors, 1);
}

int count() { return std::clamp(activeProcessors(), 2, 16); }

void run(const Run& run, std::stop_token stop) {
    ManagedFlag done;
    std::atomic<int> running = run.workerCount;
    std::stop_callback onStop(stop, run.cancel);
    bool cancelled = false;
    {
        std::vector<std::jthread> workers;
        workers.reserve(static_cast<size_t>(run.workerCount));
        try {
            for (int i = 0; i < run.workerCount; ++i) {
                workers.emplace_back([&] {
                    WorkerPriority::yieldToInterface();
                    run.worker();
                    if (running.fetch_sub(1) == 1) done.set();  // the group's completion
                });
            }
            for (;;) {
                bool finished = done.isSet();
                cancelled = stop.stop_requested();
                if (finished) break;
                if (cancelled) run.cancel();
                done.waitUntil(std::chrono::steady_clock::now() + run.pollInterval);
                if (run.tick) run.tick();
            }
        } catch (...) {
            // A thread that could not start or a throwing tick must not leave the started workers
            // walking; they join below.
            run.cancel();
            throw;
        }
    }
    if (cancelled) throw Cancelled();
}

}  // namespace WalkWorkers
