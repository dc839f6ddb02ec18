#include "Foundation/ProcessEnd.h"
#include "Support/ForkedChild.h"
#include "Support/TempTree.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <fstream>
#include <mutex>
#include <thread>

using namespace std::chrono_literals;

// The process ends only once the steps under way are whole: a write that has begun is finished, while
// a step that never finishes (stuck on a mount that does not answer) holds the end only so long.
TEST(ProcessEnd, WaitsForTheStepsUnderWayAndNoLongerThanItsLimit) {
    TempTree tree;
    const auto written = tree.path() / "written";
    const std::string output = ForkedChild::runApart([&] {
        std::mutex mutex;
        std::condition_variable changed;
        int begun = 0;
        auto begin = [&] {
            const std::lock_guard lock(mutex);
            ++begun;
            changed.notify_all();
        };
        std::thread([&] {
            const ProcessEnd::Step step;
            begin();
            // Time enough for an end that did not wait to come first.
            std::this_thread::sleep_for(100ms);
            std::ofstream(written) << "whole";
        }).detach();
        std::thread([&] {
            const ProcessEnd::Step stuck;
            begin();
            for (;;) std::this_thread::sleep_for(1h);
        }).detach();
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return begun == 2; });
        ProcessEnd::now(0, 1s);
        return std::string("returned");
    });
    EXPECT_EQ(output, "");  // ended, never returned
    EXPECT_EQ(TempTree::read(written), "whole");
}
