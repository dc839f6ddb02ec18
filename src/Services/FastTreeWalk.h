#pragma once

#include "Services/GenericWalk.h"
#include "Services/WorkerPool.h"

#include <chrono>
#include <functional>
#include <stop_token>
#include <string>
#include <vector>

// The parallel walk of the file tools: several folder trees at once, the caller's own per-worker
// value and visit, a rule for directories not to enter, progress every 0.04 s. Unreadable roots and
// directories are passed over. Returns one local value per worker (2 to 16), in the order they ended.
namespace FastTreeWalk {

using Progress = ScanProgress;

constexpr std::chrono::milliseconds progressInterval{40};

// Between 2 and 16 workers, one per active processor.
int workerCount(int activeProcessors = WorkerPool::activeProcessorCount());

bool neverSkip(std::string_view name);

// Throws Cancelled when `stop` is requested before the walk is seen done; the local values are dropped.
template <typename Local>
std::vector<Local> run(std::vector<std::string> roots, bool includeHidden, typename GenericWalk<Local>::SkipRule skipDirectory,
                       const std::function<void(const Progress&)>& progress, typename GenericWalk<Local>::MakeLocal makeLocal,
                       typename GenericWalk<Local>::Visit visit, std::stop_token stop) {
    for (std::string& root : roots) {
        if (root == "/") root.clear();
    }
    GenericWalk<Local> walk(roots, includeHidden, std::move(skipDirectory), std::move(makeLocal), std::move(visit));
    std::function<void()> tick;
    if (progress) tick = [&] { progress(walk.progress()); };
    WorkerPool::run(workerCount(), [&] { walk.runWorker(); }, progressInterval, tick, [&] { walk.cancel(); }, stop);
    return walk.takeResults();
}

}  // namespace FastTreeWalk
