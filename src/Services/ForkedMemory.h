#pragma once

#include "Platform/ProcessTable.h"
#include "Services/HeldMemory.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

// The anonymous pages that forked processes share, counted once. A process forked from another
// shares all of its parent's pages until one of them writes to a page, and each one's status counts
// them all as its own: a server that fills 300 MB and forks four workers shows 1.5 GB. Where one
// process of an application forked another and their anonymous pages add up to more than the
// largest of them holds alone, their proportional share (each page divided by the processes mapping
// it) is read instead. That costs the kernel a walk of every page, so a pass reads a few processes,
// those never read and those whose pages changed most first, and between readings each keeps its
// last share, moved by what its pages and its shared memory grew or shrank since. A share is read
// again once the process's anonymous pages, its shared memory or the shared memory its family maps
// moved by an eighth: a server filling a shared buffer pool grows the second while the first stands
// still, a worker that comes to map pages of the pool already in takes its share of them from the
// others, and each process's share of the pool moves whenever another maps more of it, or comes or
// goes.
class ForkedMemory {
public:
    struct Process {
        std::int32_t pid = 0;
        std::int32_t parentPid = 0;
        std::uint64_t startTicks = 0;
        std::size_t row = 0;  // the application it counts in
        std::uint64_t anonymousBytes = 0;
        std::uint64_t sharedMemoryBytes = 0;
    };

    // The kernel's walk costs about 10 µs a megabyte of pages: a pass reads at most four processes
    // and 256 MiB of their pages, and always one.
    static constexpr std::size_t readsPerPass = 4;
    static constexpr std::uint64_t bytesPerPass = 256ull << 20;
    // A share read this many passes ago is read again, as pages a worker writes stop being shared.
    static constexpr int passesBetweenReadings = 30;
    // Families whose processes beyond the largest hold less than this are not worth a reading, nor is
    // a process that holds less than the smallest.
    static constexpr std::uint64_t worthReading = 8ull << 20;
    static constexpr std::uint64_t smallest = 1ull << 20;

    // Adds a process of this pass; returns its number in the pass.
    std::size_t add(const Process& process);
    // Ends the pass: reads what it may and returns what each of `rows` applications holds. The next
    // `add` starts a new pass.
    std::vector<HeldMemory> settle(ProcessTable& table, std::size_t rows);
    // The anonymous pages process number `index` of the settled pass holds, its shared ones in part.
    std::uint64_t anonymousBytes(std::size_t index) const { return anonymous_[index]; }

private:
    struct Reading {
        std::uint64_t startTicks = 0;
        std::uint64_t anonymousAtReading = 0;
        std::uint64_t sharedMemoryAtReading = 0;
        std::uint64_t familySharedAtReading = 0;  // its application's forked processes' shared memory, summed
        // None when it could not be read (it ended, or is another user's): tried again when due, so
        // that it never keeps the others from their turn.
        std::optional<ProportionalMemory> share;
        int age = 0;  // passes since it was read
    };

    // Which processes of the pass may share pages with another of their application's.
    std::vector<char> mayShare() const;

    bool settled_ = false;
    std::vector<Process> processes_;
    std::vector<std::uint64_t> anonymous_;
    std::unordered_map<std::int32_t, Reading> readings_;  // by process id
};
