#pragma once

#include "Models/ScanProgress.h"
#include "Services/GenericWalk.h"
#include "Services/WalkWorkers.h"

#include <chrono>
#include <functional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

// The parallel walk of the file tools: several folder trees at once, the caller's own per-worker
// value and visit, a rule for directories not to enter, progress every 0.04 s. Unreadable roots and
// directories are passed over. Returns one local value per worker (2 to 16), in the order they ended.
namespace FastTreeWalk {

using Progress = ScanProgress;

inline bool neverSkip(const std::string&, std::string_view) { return false; }

// Throws Cancelled when `stop` is requested before the walk is seen done; the local values are dropped.
template <typename Local>
std::vector<Local> run(std::vector<std::string> roots, bool includeHidden, typename GenericWalk<Local>::SkipRule skipDirectory,
                       const std::function<void(const Progress&)>& progress, typename GenericWalk<Local>::MakeLocal makeLocal,
                       typename GenericWalk<Local>::Visit visit, std::stop_token stop) {
    // Below "/" a path is "" + "/" + name: one slash, never two.
    for (std::string& root : roots) {
        if (root == "/") root.clear();
    }
    GenericWalk<Local> walk(roots, includeHidden, std::move(skipDirectory), std::move(makeLocal), std::move(visit));
    WalkWorkers::Run workers;
    workers.worker = [&] { walk.runWorker(); };
    workers.cancel = [&] { walk.cancel(); };
    workers.pollInterval = std::chrono::milliseconds(40);
    if (progress) {
        workers.tick = [&] {
            WalkProgress::Counts counts = walk.progress();
            progress({counts.path, counts.files, counts.bytes});
        };
    }
    WalkWorkers::run(workers, stop);
    return walk.takeResults();
}

}  // namespace FastTreeWalk
