#pragma once

#include "Services/ProcessKey.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

// The processes that ended since they were last seen, kept until their reaper shows their totals.
// Reaping adds a process's whole write count and processor time (its own, and what it had reaped in
// turn) to the reaper's counts, so the reaper's rise holds what was already counted for the process
// when it was last seen, beside what the process did since and what the reaper did itself. Settling
// finds that already counted part for each reaper, so that every byte and tick is counted once.
//
// The reaper is one of the process's ancestors as last seen: its parent while the parent lives;
// else, the parent having ended first, the nearest living subreaper above it or the first process of
// its PID namespace; or an ancestor that ended too but reaped it first, whose own total then lands
// in its reaper's count. A process whose ancestors no pass saw goes to the reaper, among those that
// started before it, whose rise holds it most closely, once every other process is matched. Only a
// reaper that shows it reaped is charged less: reaping also adds the process's page faults to the
// reaper's count of its children's faults, and nothing else does. A process whose ended children are
// reaped by the kernel (it ignores SIGCHLD) keeps all of its rise.
// A process whose write count could not be read hands on a total that is not known: its reaper is
// charged, for the pass in which it shows it, only what its own live threads wrote, when they were
// read, else nothing.
class EndedProcesses {
public:
    struct Ended {
        ProcessKey process;
        std::vector<ProcessKey> ancestors;  // as last seen, its parent first; none when no pass saw its parent
        std::uint64_t bytesWritten = 0;     // with what it had reaped, as last seen
        std::uint64_t faults = 0;           // its own and its reaped children's, as last seen
        std::uint64_t cpuTicks = 0;         // its own and its reaped children's, as last seen
        bool unreadable = false;            // its write count could not be read: `bytesWritten` is 0
    };
    // What a live process's counters rose by since the previous pass.
    struct Rise {
        std::uint64_t bytesWritten = 0;
        std::uint64_t reapedFaults = 0;
        std::uint64_t reapedCpuTicks = 0;
        std::uint64_t ownBytesWritten = 0;  // by its live threads alone, when they were read at both passes
        bool exited = false;  // it has ended since it was read: its orphans went to a reaper above it
    };
    enum class Whereabouts {
        live,      // it did not end after all (it could not be read for a moment)
        unreaped,     // ended, and still waits for its parent to reap it
        beingReaped,  // its totals are in its reaper's, or on their way there, however long that takes
        gone,         // reaped: its totals are in its reaper's, or were dropped
    };
    // What a reaper's rise holds that was counted already, as the totals of the processes it reaped
    // when they were last seen.
    struct Counted {
        std::uint64_t bytesWritten = 0;
        std::uint64_t cpuTicks = 0;
    };
    using RiseOf = std::function<std::optional<Rise>(const ProcessKey&)>;  // absent unless live since the previous pass
    using WhereaboutsOf = std::function<Whereabouts(const ProcessKey&)>;

    // A process seen at the previous pass and not at this one; a later sighting replaces an earlier.
    void add(Ended process);

    // Matches the reaped processes with the live reapers whose rise holds them, each process once,
    // and returns what each reaper's rise holds that was counted already, by the reaper's id.
    // `reapers` are the live processes that reaped since the previous pass, in any order: those a
    // process with no known ancestor is looked for among.
    std::unordered_map<std::int32_t, Counted> settle(const RiseOf& riseOf, const WhereaboutsOf& whereaboutsOf,
                                                     const std::vector<ProcessKey>& reapers);

private:
    struct Entry {
        Ended ended;
        bool reaped = false;  // its totals may be in its reaper's rise
        bool gone = false;
        int offers = 0;  // passes since it was gone in which no reaper's rise could hold it
    };
    std::vector<Entry> entries_;
};
