#pragma once

#include "Foundation/Instant.h"
#include "Platform/SystemRoots.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One process as /proc/<pid> describes it. The texts point into the table's buffers and are valid
// until the table reads the next process.
struct ProcessReading {
    std::int32_t pid = 0;
    std::int32_t parentPid = 0;
    std::uint64_t startTicks = 0;     // clock ticks after boot
    std::uint64_t cpuTicks = 0;       // user plus system time, clock ticks
    // The user and system time of the children it reaped, each with what they had reaped in turn,
    // added when it reaped them; clock ticks.
    std::uint64_t reapedCpuTicks = 0;
    std::uint64_t residentBytes = 0;  // its own pages and those of the files it maps
    // What it holds of its own, read by `readOwnMemory`: anonymous pages (its heaps and stacks, and
    // pages it still shares with the process it was forked from) and shared-memory pages (shared
    // memory, tmpfs files); the pages of the files it maps are not its own. 0 when the kernel does
    // not report them.
    std::uint64_t anonymousBytes = 0;
    std::uint64_t sharedMemoryBytes = 0;
    // Sent to storage by the process's threads, ended ones included, and by the children it reaped
    // (each child's whole total, added when it was reaped); 0 when io is not readable.
    std::uint64_t bytesWrittenWithReapedChildren = 0;
    // Minor page faults of its threads, and of the children it reaped. Reaping adds the child's own
    // and reaped counts to the reaper's, and nothing else adds to it: a rise of `reapedFaults` is
    // proof that the process reaped a child.
    std::uint64_t faults = 0;
    std::uint64_t reapedFaults = 0;
    std::string_view commandName;     // comm: the name it was started by, at most 15 bytes
    std::string_view executablePath;  // the exe link, " (deleted)" included when the file was replaced
};

// A process whose program and write count this user cannot read (another user's, or one running a
// setuid program), as its stat, which anyone can read, describes it.
struct UnreadableProcess {
    std::int32_t parentPid = 0;
    std::uint64_t startTicks = 0;
    std::uint64_t faults = 0;        // as `ProcessReading` counts them
    std::uint64_t reapedFaults = 0;
    std::uint64_t cpuTicks = 0;  // as `ProcessReading` counts them, its reaped children's included
};

// What one live thread of a process has sent to storage itself since it started: a thread's count
// holds no reaped child's total, which goes to the process's count alone.
struct ThreadWrites {
    std::int32_t tid = 0;
    std::uint64_t startTicks = 0;  // clock ticks after boot; with the id, tells a reused id apart
    std::uint64_t bytesWritten = 0;
};

// When a process started, and whether it is being reaped: shown dead ("X"), its totals are on their
// way to its reaper's counts, which the kernel adds them to before the process leaves the list.
struct ProcessStart {
    std::uint64_t ticks = 0;
    bool beingReaped = false;
    bool exited = false;  // a zombie, or being reaped: it reaps nothing more
};

// A process's proportional share of the anonymous and shared-memory pages it maps: each page
// divided by the number of processes that map it, so that pages a forked process still shares with
// its parent and siblings count once among them.
struct ProportionalMemory {
    std::uint64_t anonymousBytes = 0;
    std::uint64_t sharedMemoryBytes = 0;
};

// Reads the process list and each process's stat, status, io, exe, cwd and start time from /proc, and the
// threads' io of a process when asked.
class ProcessTable {
public:
    explicit ProcessTable(const SystemRoots& roots);
    ~ProcessTable();
    ProcessTable(const ProcessTable&) = delete;
    ProcessTable& operator=(const ProcessTable&) = delete;

    // The ids of every process, ascending; absent when /proc cannot be listed.
    std::optional<std::vector<std::int32_t>> pids();
    // Absent when the process has ended or its program cannot be read (kernel threads, zombies,
    // another user's processes).
    std::optional<ProcessReading> read(std::int32_t pid);
    // Fills in what a process just read holds of its own, from its status file, which costs as much
    // as its stat; false when it has ended.
    bool readOwnMemory(ProcessReading& reading);
    // Its proportional share, from its smaps_rollup; absent when it has ended, cannot be read, or the
    // kernel keeps no such summary. The kernel walks every page the process maps to answer: far
    // dearer than its status, so asked only for a few processes at a time.
    std::optional<ProportionalMemory> readProportionalMemory(std::int32_t pid);
    // Reads the write count, the processor times and the reaped children's faults of a process just
    // read again, until no
    // child is reaped between the two: `read` takes the count first, so a child reaped in between shows
    // in the faults and not yet in the count. Asked only for a process whose reaped faults rose.
    void readReapedCountsAgain(ProcessReading& reading);
    // The live threads of a process that have written anything, each with its own count; valid until
    // the next call. Absent when the thread list cannot be read (the process ended).
    const std::vector<ThreadWrites>* threadWrites(std::int32_t pid, std::uint64_t startTicks);
    // Asked right after `read` found nothing for the process: present when this user may not read
    // its program, also once it is a zombie; absent for a kernel thread and a process that has ended.
    std::optional<UnreadableProcess> unreadable(std::int32_t pid);
    // When the process with this id started, also when it has ended and waits to be reaped or is being
    // reaped; absent once it is gone.
    std::optional<ProcessStart> start(std::int32_t pid);
    std::optional<std::string> workingDirectory(std::int32_t pid);
    // The Flatpak application a process runs in, from the "app-flatpak-<id>-<n>.scope" unit of its
    // control group; absent outside a Flatpak sandbox.
    std::optional<std::string> flatpakApplication(std::int32_t pid);

    double ticksPerSecond() const { return ticksPerSecond_; }
    // The wall-clock time a process started, absent when the boot time is unknown.
    std::optional<Instant> startTime(std::uint64_t startTicks) const;

private:
    std::optional<std::string_view> link(std::int32_t pid, const char* name, std::string& buffer);

    int procFd_ = -1;
    std::int32_t deniedPid_ = 0;  // the process whose program the last `read` was denied
    // The kernel threads among the denied ids, ascending, of this listing and of the one before.
    std::vector<std::int32_t> kernelThreads_;
    std::vector<std::int32_t> kernelThreadsBefore_;
    double ticksPerSecond_ = 100;
    std::uint64_t pageSize_ = 4096;
    std::optional<std::uint64_t> bootTime_;  // seconds since 1970
    std::vector<std::int32_t> pids_;
    std::vector<char> listing_;
    std::vector<char> threadListing_;
    std::vector<ThreadWrites> threads_;
    std::string statBuffer_;
    std::string otherStatBuffer_;  // apart from statBuffer_, which the last reading's name points into
    std::string ioBuffer_;
    std::string statusBuffer_;
    std::string rollupBuffer_;
    std::string pathBuffer_;
    std::string groupBuffer_;
};
