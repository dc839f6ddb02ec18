#pragma once

#include <chrono>
#include <functional>
#include <stop_token>

// Runs `body` once on each of `count` threads and polls them from the calling thread: `tick` is
// called after every `interval` while they run (not at the start, not once they are seen done), so
// the caller reads its shared counters at that pace. A stop request calls `cancel` (at once when
// already requested); the workers are still waited for, then Cancelled is thrown.
namespace WorkerPool {

void run(int count, const std::function<void()>& body, std::chrono::steady_clock::duration interval,
         const std::function<void()>& tick, const std::function<void()>& cancel, std::stop_token stop);

// The processors this process may run on, at least 1.
int activeProcessorCount();

}  // namespace WorkerPool
