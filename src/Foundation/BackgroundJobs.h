#pragma once

#include "Foundation/JobOutcome.h"

#include <QObject>
#include <QPointer>
#include <QThreadPool>

#include <functional>
#include <memory>
#include <stop_token>
#include <type_traits>

// The one way background work runs: a blocking call on a worker thread with a stop token, its outcome
// handed back on the owner's (main) thread. A posted closure runs only while the owner still exists;
// callers keep a NewestJob so that a superseded job never publishes. The stop token reaches child
// processes (ProcessRunner kills them at once), so stopping the owner's jobs ends them promptly.
class BackgroundJobs {
public:
    // At most `workers` jobs run at once; the others wait their turn in order.
    explicit BackgroundJobs(QObject* owner, int workers = 16);
    // Asks every running job to stop and waits for all of them, so no worker outlives the owner.
    ~BackgroundJobs();

    BackgroundJobs(const BackgroundJobs&) = delete;
    BackgroundJobs& operator=(const BackgroundJobs&) = delete;

    // Calls work(token) on a worker thread, then finish(outcome) on the owner's thread.
    template <typename Work, typename Finish>
    void run(std::stop_source stop, Work work, Finish finish) {
        using Result = std::invoke_result_t<Work&, std::stop_token>;
        ++unfinished_;
        pool_.start([this, stop, work, finish]() mutable {
            std::stop_callback forwardShutdown(shutdown_.get_token(), [&stop] { stop.request_stop(); });
            auto outcome = std::make_shared<JobOutcome<Result>>(JobOutcome<Result>::capture([&] { return work(stop.get_token()); }));
            // Runs only while the owner, and so this object, exists.
            post([this, finish, outcome]() mutable {
                finish(*outcome);
                --unfinished_;
            });
        });
    }

    // On the owner's thread: every job run so far has handed its outcome back, also the stopped and
    // superseded ones, so none of them can still publish.
    bool isIdle() const { return unfinished_ == 0; }
    // On the owner's thread: the jobs run so far that have not handed their outcome back yet.
    int unfinishedCount() const { return unfinished_; }

    // From any thread: runs `closure` on the owner's thread, later, unless the owner is gone by then.
    void post(std::function<void()> closure) const;

    // On the main thread, when the application quits: asks every job of every owner to stop, those
    // running, waiting or run later alike, so that all of them wind down at once instead of one owner
    // after another as each is destroyed.
    static void stopAll();

private:
    QPointer<QObject> owner_;
    int unfinished_ = 0;  // touched on the owner's thread only
    std::stop_source shutdown_;
    QThreadPool pool_;
    std::stop_callback<std::function<void()>> followStopAll_;
};
