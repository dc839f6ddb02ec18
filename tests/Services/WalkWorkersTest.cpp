#include "Services/WalkWorkers.h"
#include "Support/ForkedChild.h"

#include <sys/resource.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <system_error>

#include <gtest/gtest.h>

TEST(WalkWorkers, AThreadThatCannotStartCancelsTheWorkersAlreadyRunning) {
    if (!ForkedChild::isRoot()) GTEST_SKIP() << "needs root to drop to a user whose thread limit applies";
    const std::string output = ForkedChild::runAsNobody([] {
        // This process and one thread more: the second worker cannot start.
        const rlimit limit{2, 2};
        if (::setrlimit(RLIMIT_NPROC, &limit) != 0) return std::string("setrlimit failed");
        std::mutex lock;
        std::condition_variable changed;
        bool cancelled = false;
        std::atomic<int> timedOut{0};
        WalkWorkers::Run run;
        run.workerCount = 4;
        // A worker that, like a walk, goes on until the walk ends or is cancelled.
        run.worker = [&] {
            std::unique_lock guard(lock);
            if (!changed.wait_for(guard, std::chrono::seconds(2), [&] { return cancelled; })) ++timedOut;
        };
        run.cancel = [&] {
            {
                std::lock_guard guard(lock);
                cancelled = true;
            }
            changed.notify_all();
        };
        std::string ended = "returned";
        try {
            WalkWorkers::run(run, {});
        } catch (const std::system_error&) {
            ended = "thread error";
        }
        return ended + ", timed out: " + std::to_string(timedOut.load());
    });
    if (output.starts_with("returned")) GTEST_SKIP() << "the thread limit is not enforced here: " << output;
    EXPECT_EQ(output, "thread error, timed out: 0");
}
