#pragma once

#include "Services/AppServices.h"
#include "Services/AppState.h"
#include "Foundation/Cancelled.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

// How many calls are blocked with no answer yet; shared by the call logs of one fake.
using UnansweredCount = std::shared_ptr<std::atomic<int>>;

// One service call held on its worker thread until the test answers it.
template <typename R>
class HeldCall {
public:
    void countIn(UnansweredCount unanswered) { unanswered_ = std::move(unanswered); }

    // Blocks until answered; a stop request ends it with Cancelled unless the call ignores stops.
    R await(std::stop_token stop) {
        std::unique_lock lock(mutex_);
        setWaiting(!answered_);
        changed_.wait(lock, stop, [&] { return answered_; });
        setWaiting(false);
        returned_ = true;
        if (!answered_) throw Cancelled();
        if (error_) std::rethrow_exception(error_);
        return *value_;
    }
    void succeed(R value) {
        std::lock_guard lock(mutex_);
        value_ = std::move(value);
        answered_ = true;
        setWaiting(false);
        changed_.notify_all();
    }
    template <typename E>
    void fail(E error) {
        std::lock_guard lock(mutex_);
        error_ = std::make_exception_ptr(error);
        answered_ = true;
        setWaiting(false);
        changed_.notify_all();
    }
    bool returned() const {
        std::lock_guard lock(mutex_);
        return returned_;
    }

private:
    // Under mutex_: counted from the moment the call blocks until an answer or a stop reaches it.
    void setWaiting(bool waiting) {
        if (waiting == waiting_) return;
        waiting_ = waiting;
        if (unanswered_) *unanswered_ += waiting ? 1 : -1;
    }

    mutable std::mutex mutex_;
    std::condition_variable_any changed_;
    UnansweredCount unanswered_;
    bool waiting_ = false;
    bool answered_ = false;
    bool returned_ = false;
    std::optional<R> value_;
    std::exception_ptr error_;
};

// The calls a fake received, in order, shared between the worker threads and the test.
template <typename Call>
class CallLog {
public:
    explicit CallLog(UnansweredCount unanswered) : unanswered_(std::move(unanswered)) {}

    std::shared_ptr<Call> add(std::shared_ptr<Call> call) {
        call->countIn(unanswered_);
        std::lock_guard lock(mutex_);
        calls_.push_back(call);
        return call;
    }
    size_t size() const {
        std::lock_guard lock(mutex_);
        return calls_.size();
    }
    std::shared_ptr<Call> operator[](size_t index) const {
        std::lock_guard lock(mutex_);
        return calls_.at(index);
    }

private:
    UnansweredCount unanswered_;
    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<Call>> calls_;
};

struct ScanCall : HeldCall<ScanSnapshot> {
    std::filesystem::path root;
    bool includeHidden = false;
    std::function<void(const ScanProgress&)> progress;
};

struct DuplicateCall : HeldCall<DuplicateSearchResult> {
    std::filesystem::path root;
    std::function<void(const DuplicateScanProgress&)> progress;
    std::function<void(const DuplicateGroup&)> foundGroup;

    void succeed(std::vector<DuplicateGroup> groups, std::vector<std::filesystem::path> notCompared = {}) {
        HeldCall::succeed({std::move(groups), std::move(notCompared)});
    }
    // As the service does: every group reported as found, then the whole list returned.
    void findAndSucceed(std::vector<DuplicateGroup> groups, std::vector<std::filesystem::path> notCompared = {}) {
        for (const DuplicateGroup& group : groups) foundGroup(group);
        succeed(std::move(groups), std::move(notCompared));
    }
};

struct ForgottenCall : HeldCall<std::vector<ScannedFile>> {
    std::filesystem::path root;
    int days = 0;
    std::int64_t minimumSize = 0;
};

struct ArtifactsCall : HeldCall<std::vector<AppArtifact>> {
    InstalledApplication application;
};

struct TrashArtifactsCall : HeldCall<std::vector<std::filesystem::path>> {
    std::vector<AppArtifact> artifacts;
};

struct MoveCall : HeldCall<TrashResult> {
    std::vector<TrashRequest> items;
    std::vector<std::filesystem::path> urls;  // the items' paths
};

using ApplicationsCall = HeldCall<std::vector<InstalledApplication>>;
using CandidatesCall = HeldCall<std::vector<CleanupCandidate>>;
using StartupCall = HeldCall<std::vector<StartupItem>>;

// Services whose every call waits for the test; the logs say what AppState asked for.
struct FakeAppServices {
    bool scansIgnoreStop = false;  // a replaced scan that still ends with a result
    // Ends the calls that ignore stop requests, as real ones end by themselves; for teardown.
    std::stop_source abandon;
    UnansweredCount unanswered = std::make_shared<std::atomic<int>>(0);
    CallLog<ScanCall> scans{unanswered};
    std::vector<ScanSnapshot> recorded;
    CallLog<ApplicationsCall> applicationLoads{unanswered};
    CallLog<ArtifactsCall> artifactLoads{unanswered};
    CallLog<TrashArtifactsCall> artifactRemovals{unanswered};
    CallLog<DuplicateCall> duplicateSearches{unanswered};
    CallLog<CandidatesCall> cleanupLoads{unanswered};
    CallLog<CandidatesCall> developerLoads{unanswered};
    CallLog<ForgottenCall> forgottenSearches{unanswered};
    CallLog<MoveCall> moves{unanswered};
    CallLog<StartupCall> startupLoads{unanswered};
    std::function<void(const StartupItem&, bool)> setStartupItemEnabled = [](const StartupItem&, bool) {};
    std::function<std::optional<std::filesystem::path>(const std::filesystem::path&)> chooseFolder = [](const std::filesystem::path&) {
        return std::optional<std::filesystem::path>();
    };
    int privacySettingsOpened = 0;
    bool privacySettingsInstalled = true;

    AppServices services() {
        AppServices s;
        s.scan = [this](const std::filesystem::path& root, bool includeHidden, const std::function<void(const ScanProgress&)>& progress, std::stop_token stop) {
            auto call = std::make_shared<ScanCall>();
            call->root = root;
            call->includeHidden = includeHidden;
            call->progress = progress;
            scans.add(call);
            return call->await(scansIgnoreStop ? abandon.get_token() : stop);
        };
        s.recordScan = [this](const ScanSnapshot& snapshot) { recorded.push_back(snapshot); };
        s.installedApplications = [this] { return applicationLoads.add(std::make_shared<ApplicationsCall>())->await(abandon.get_token()); };
        s.artifacts = [this](const InstalledApplication& application) {
            auto call = std::make_shared<ArtifactsCall>();
            call->application = application;
            return artifactLoads.add(call)->await(abandon.get_token());
        };
        s.trashArtifacts = [this](const std::vector<AppArtifact>& artifacts) {
            auto call = std::make_shared<TrashArtifactsCall>();
            call->artifacts = artifacts;
            return artifactRemovals.add(call)->await(abandon.get_token());
        };
        s.duplicateGroups = [this](const std::filesystem::path& root, bool, const std::function<void(const DuplicateScanProgress&)>& progress,
                                   const std::function<void(const DuplicateGroup&)>& foundGroup, std::stop_token stop) {
            auto call = std::make_shared<DuplicateCall>();
            call->root = root;
            call->progress = progress;
            call->foundGroup = foundGroup;
            return duplicateSearches.add(call)->await(stop);
        };
        s.cleanupCandidates = [this] { return cleanupLoads.add(std::make_shared<CandidatesCall>())->await(abandon.get_token()); };
        s.developerCandidates = [this] { return developerLoads.add(std::make_shared<CandidatesCall>())->await(abandon.get_token()); };
        s.forgottenFiles = [this](const std::filesystem::path& root, int days, std::int64_t minimumSize, std::stop_token stop) {
            auto call = std::make_shared<ForgottenCall>();
            call->root = root;
            call->days = days;
            call->minimumSize = minimumSize;
            return forgottenSearches.add(call)->await(stop);
        };
        s.moveToTrash = [this](const std::vector<TrashRequest>& items, std::stop_token stop) {
            auto call = std::make_shared<MoveCall>();
            call->items = items;
            for (const TrashRequest& item : items) call->urls.push_back(item.path);
            return moves.add(call)->await(stop);
        };
        s.startupItems = [this] { return startupLoads.add(std::make_shared<StartupCall>())->await(abandon.get_token()); };
        s.setStartupItemEnabled = [this](const StartupItem& item, bool enabled) { setStartupItemEnabled(item, enabled); };
        s.chooseFolder = [this](const std::filesystem::path& start) { return chooseFolder(start); };
        s.openPrivacySettings = [this] { ++privacySettingsOpened; };
        s.canOpenPrivacySettings = [this] { return privacySettingsInstalled; };
        return s;
    }
};

// Runs the event loop until `condition` holds; false after five seconds.
template <typename Condition>
bool waitUntil(Condition condition) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > 5000) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Lets every job of `state` that the test is not holding end and hand its outcome back, then delivers
// what is already posted; for tests that check nothing was published. False after five seconds.
inline bool settle(const AppState& state, const FakeAppServices& fake) {
    const bool settled = waitUntil([&] { return state.jobsInFlight() == *fake.unanswered; });
    QCoreApplication::processEvents();
    return settled;
}
