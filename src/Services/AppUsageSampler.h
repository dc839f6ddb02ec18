#pragma once

#include "Foundation/Instant.h"
#include "Platform/DesktopApplications.h"
#include "Platform/ProcessTable.h"
#include "Platform/SystemRoots.h"
#include "Models/AppUsage.h"
#include "Services/DevProcessSample.h"
#include "Services/EndedProcesses.h"
#include "Services/ForkedMemory.h"

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

// What one per-application pass found.
struct AppUsagePass {
    std::vector<AppUsage> apps;  // in no particular order
    std::vector<DevProcessSample> devSamples;  // in process-list order
    bool hadPreviousPass = false;  // shares and rates are real only then
};

// Measures every running process against the previous pass and groups them: under the installed
// application whose desktop entry starts the process's program, else by program name. A process is
// charged with what its write count rose by (its threads', ended ones too, and its reaped children's
// totals), less the totals that the processes it reaped (its children, or orphans handed to it) had
// when last seen, which were shown as theirs then: a child seen alive counts once (also when the pass
// that saw it could not read its parent, half way through ending), and one too short to be seen
// counts in its parent. Processor time is charged the same way, from the times the kernel adds to a
// process when it reaps a child. A process that started since the previous pass is charged with all
// it wrote and all the processor time it used. A process this user cannot read is skipped, and so is
// what it hands on: in the pass in which its parent reaps it, the parent is charged only what its own
// live threads wrote, which they count apart from any child; they are read only while it has such a
// child, and once after.
class AppUsageSampler {
public:
    explicit AppUsageSampler(const SystemRoots& roots,
                             std::vector<std::filesystem::path> searchPath = DesktopApplications::environmentSearchPath());

    // Absent when the process list cannot be read: nothing changes.
    std::optional<AppUsagePass> sampleApps(Instant now, int cores);

private:
    struct Baseline {
        std::uint64_t startTicks;
        std::int32_t parentPid;
        std::uint64_t cpuTicks;
        std::uint64_t bytesWrittenWithReapedChildren;
        std::uint64_t faultsWithReapedChildren;
        std::uint64_t reapedFaults;
        // A process keeps its application for life: it is looked up once, when first seen.
        const DesktopApplications::Application* application = nullptr;
        bool readable = true;  // else only its stat could be read, and it has no write count
        // What it holds: read again only when its resident size changed, as most processes sit idle.
        std::uint64_t residentBytes = 0;
        std::uint64_t anonymousBytes = 0;
        std::uint64_t sharedMemoryBytes = 0;
        std::uint64_t reapedCpuTicks = 0;  // `cpuTicks` is its own; for one that could not be read, both
    };
    using Baselines = std::unordered_map<std::int32_t, Baseline>;  // by process id
    // A process whose write count or processor time rose since the previous pass, the row it counts
    // in, and its developer sample when it has one.
    struct Risen {
        std::int32_t pid;
        size_t row;
        std::uint64_t bytesWritten;
        std::uint64_t cpuTicks;
        std::optional<size_t> devSample;
    };

    // The live threads of a process with a child it cannot read, as a pass read them.
    struct ThreadsSeen {
        std::uint64_t startTicks;
        std::vector<ThreadWrites> threads;
        bool waiting;  // it had such a child at that pass, so it is read again at the next
    };
    using ThreadBaselines = std::unordered_map<std::int32_t, ThreadsSeen>;  // by process id

    // The readings a line of ancestors is drawn from: one pass's, and the last-seen readings of the
    // parents that pass could not read while a child of theirs still named them (a parent half way
    // through ending has lost its program, and its child is not handed on yet).
    struct Lineage {
        const Baselines& pass;
        const Baselines& unreadParents;
        const Baseline* find(std::int32_t pid) const;
        size_t size() const { return pass.size() + unreadParents.size(); }
    };
    // Calls `visit(pid, baseline)` for the process's parent, then the parent's, as `lineage` holds
    // them, while it returns true.
    template <typename Visit>
    static void forEachAncestor(const Baseline& process, const Lineage& lineage, Visit visit);
    // Keeps, for one pass more, the last-seen reading of every parent this pass could not read while
    // a child it read still named it, and of the parents above it that it could not read either.
    void keepUnreadParents();
    // Ids wrap, so a process may be read before its reaper: reaped in between, its totals are in the
    // reaper's count while the pass holds it live. One read before an ancestor that reaped anything
    // since the previous pass is looked at again, and ends with this pass when it is gone or dead.
    void endProcessesReapedAfterTheyWereRead();
    // Reads the threads of every process with a child it cannot read, and of every one that had such a
    // child at the previous pass.
    void readThreadsOfWaitingProcesses();
    // Hands the processes of the previous pass that are gone to `ended_`, and returns the part of
    // each reaper's rise that was counted already, as its ended children's totals when last seen.
    std::unordered_map<std::int32_t, EndedProcesses::Counted> settleEndedProcesses(const std::vector<std::int32_t>& pids);

    ProcessTable table_;
    DesktopApplications applications_;
    Baselines previous_;
    Baselines current_;
    ThreadBaselines previousThreads_;
    ThreadBaselines currentThreads_;
    Baselines previousUnreadParents_;  // those the previous pass could not read
    Baselines currentUnreadParents_;
    std::vector<Risen> risen_;
    EndedProcesses ended_;
    ForkedMemory forked_;
    // When the newest process the previous pass read had started: one that started later was not
    // there yet. Start times only grow.
    std::uint64_t previousNewestStart_ = 0;
    std::optional<Instant> previousDate_;
};
