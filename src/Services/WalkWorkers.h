#pragma once

#include <chrono>
#include <functional>
#include <stop_token>

// Runs the worker threads of a parallel walk and polls them from the calling thread.
namespace WalkWorkers {

// The processors this process may run on, at least 1.
int activeProcessors();

// The active processors of this process, at least 2 and at most 16.
int count();

struct Run {
    int workerCount = count();
    std::function<void()> worker;  // the body of one worker thread; returns once the walk is over
    std::function<void()> cancel;  // makes every worker return after its current directory
    std::chrono::milliseconds pollInterval{120};
    std::function<void()> tick;  // after every wait of the polling loop, with no walk lock held
};

// Starts the workers and polls until all of them have returned: each wait lasts `pollInterval` or
// until the last worker returns, and is followed by `tick`. A stop request cancels the walk at once;
// the call then ends with Cancelled once the workers have returned, even if the walk had just ended.
void run(const Run& run, std::stop_token stop);

}  // namespace WalkWorkers
