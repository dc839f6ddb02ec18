#include "Platform/WorkerPriority.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <thread>

namespace {
int niceOf(pid_t thread) { return getpriority(PRIO_PROCESS, static_cast<id_t>(thread)); }
}  // namespace

TEST(WorkerPriority, OnlyTheCallingThreadYields) {
    const int before = niceOf(gettid());
    int worker = 0, workerBefore = 0;
    std::thread([&] {
        workerBefore = niceOf(gettid());
        WorkerPriority::yieldToInterface();
        worker = niceOf(gettid());
    }).join();
    EXPECT_EQ(worker, std::min(workerBefore + 10, 19));
    EXPECT_EQ(niceOf(gettid()), before);  // the thread that started it keeps its own
}
