#include "Services/ForkedMemory.h"

#include <algorithm>

namespace {

bool movedByAnEighth(std::uint64_t now, std::uint64_t atReading) {
    const std::uint64_t moved = now > atReading ? now - atReading : atReading - now;
    return moved > atReading / 8;
}

// A share as last read, moved by what the process's own count of those pages did since: pages it
// gained are taken as its own, pages it lost as its own or shared; never more than it counts now.
std::uint64_t movedShare(std::uint64_t share, std::uint64_t atReading, std::uint64_t now) {
    const std::uint64_t moved = now >= atReading ? share + (now - atReading) : share - std::min(share, atReading - now);
    return std::min(moved, now);
}

}  // namespace

std::size_t ForkedMemory::add(const Process& process) {
    if (settled_) {
        processes_.clear();
        settled_ = false;
    }
    processes_.push_back(process);
    return processes_.size() - 1;
}

std::vector<char> ForkedMemory::mayShare() const {
    std::unordered_map<std::int32_t, std::size_t> byPid;
    byPid.reserve(processes_.size());
    for (std::size_t index = 0; index < processes_.size(); ++index) byPid.emplace(processes_[index].pid, index);
    // A parent starts before its child: one that started later holds a reused id.
    std::vector<char> forked(processes_.size(), 0);
    for (std::size_t index = 0; index < processes_.size(); ++index) {
        const Process& child = processes_[index];
        const auto parent = byPid.find(child.parentPid);
        if (parent == byPid.end() || parent->second == index) continue;
        const Process& forker = processes_[parent->second];
        if (forker.row != child.row || forker.startTicks > child.startTicks) continue;
        forked[index] = 1;
        forked[parent->second] = 1;
    }
    // Only where the family's pages add up to more than its largest process holds alone.
    std::unordered_map<std::size_t, std::pair<std::uint64_t, std::uint64_t>> rowSums;  // row: sum, largest
    for (std::size_t index = 0; index < processes_.size(); ++index) {
        if (!forked[index]) continue;
        auto& [sum, largest] = rowSums[processes_[index].row];
        sum += processes_[index].anonymousBytes;
        largest = std::max(largest, processes_[index].anonymousBytes);
    }
    for (std::size_t index = 0; index < processes_.size(); ++index) {
        if (!forked[index]) continue;
        const auto& [sum, largest] = rowSums[processes_[index].row];
        forked[index] = sum - largest >= worthReading && processes_[index].anonymousBytes >= smallest;
    }
    return forked;
}

std::vector<HeldMemory> ForkedMemory::settle(ProcessTable& table, std::size_t rows) {
    if (settled_) processes_.clear();
    settled_ = true;
    const std::vector<char> sharing = mayShare();
    // The shared memory the forked processes of each application map, summed: each one's share of it
    // moves when any of them maps more or less of it, or when one comes or goes.
    std::unordered_map<std::size_t, std::uint64_t> familyShared;
    for (std::size_t index = 0; index < processes_.size(); ++index)
        if (sharing[index]) familyShared[processes_[index].row] += processes_[index].sharedMemoryBytes;

    // Readings of processes that ended, or that share no longer, go; the rest age by a pass.
    std::unordered_map<std::int32_t, Reading> kept;
    std::vector<std::size_t> due;
    for (std::size_t index = 0; index < processes_.size(); ++index) {
        if (!sharing[index]) continue;
        const Process& process = processes_[index];
        auto reading = readings_.find(process.pid);
        if (reading != readings_.end() && reading->second.startTicks == process.startTicks) {
            Reading& last = kept.emplace(process.pid, reading->second).first->second;
            ++last.age;
            if (last.age >= passesBetweenReadings || movedByAnEighth(process.anonymousBytes, last.anonymousAtReading) ||
                movedByAnEighth(process.sharedMemoryBytes, last.sharedMemoryAtReading) ||
                movedByAnEighth(familyShared[process.row], last.familySharedAtReading))
                due.push_back(index);
        } else {
            due.push_back(index);
        }
    }
    readings_.swap(kept);
    // Never read first, then the largest, whose share is the largest error.
    std::stable_sort(due.begin(), due.end(), [&](std::size_t a, std::size_t b) {
        const bool readA = readings_.count(processes_[a].pid) > 0, readB = readings_.count(processes_[b].pid) > 0;
        if (readA != readB) return !readA;
        return processes_[a].anonymousBytes > processes_[b].anonymousBytes;
    });
    std::size_t reads = 0;
    std::uint64_t bytes = 0;
    for (std::size_t index : due) {
        if (reads == readsPerPass) break;
        const Process& process = processes_[index];
        if (reads > 0 && bytes + process.anonymousBytes > bytesPerPass) continue;
        ++reads;
        bytes += process.anonymousBytes;
        readings_[process.pid] = Reading{process.startTicks, process.anonymousBytes, process.sharedMemoryBytes, familyShared[process.row],
                                         table.readProportionalMemory(process.pid), 0};
    }

    std::vector<HeldMemory> held(rows);
    anonymous_.assign(processes_.size(), 0);
    for (std::size_t index = 0; index < processes_.size(); ++index) {
        const Process& process = processes_[index];
        const auto reading = sharing[index] ? readings_.find(process.pid) : readings_.end();
        if (reading == readings_.end() || !reading->second.share) {
            anonymous_[index] = process.anonymousBytes;
            held[process.row].add(process.anonymousBytes, process.sharedMemoryBytes);
            continue;
        }
        const Reading& last = reading->second;
        anonymous_[index] = movedShare(last.share->anonymousBytes, last.anonymousAtReading, process.anonymousBytes);
        held[process.row].addProportional(anonymous_[index],
                                          movedShare(last.share->sharedMemoryBytes, last.sharedMemoryAtReading, process.sharedMemoryBytes));
    }
    return held;
}
