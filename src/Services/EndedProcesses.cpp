#include "Services/EndedProcesses.h"

#include <algorithm>
#include <deque>
#include <unordered_set>

void EndedProcesses::add(const Ended& process) {
    auto known = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& entry) { return entry.ended.process == process.process; });
    if (known != entries_.end()) {
        *known = Entry{process};
        return;
    }
    entries_.push_back(Entry{process});
}

std::unordered_map<std::int32_t, std::uint64_t> EndedProcesses::settle(const RiseOf& riseOf, const WhereaboutsOf& whereaboutsOf) {
    std::unordered_map<std::int32_t, std::uint64_t> counted;
    if (entries_.empty()) return counted;

    std::vector<bool> live(entries_.size(), false);
    for (size_t index = 0; index < entries_.size(); ++index) {
        Entry& entry = entries_[index];
        if (entry.reaped) continue;
        Whereabouts whereabouts = whereaboutsOf(entry.ended.process);
        live[index] = whereabouts == Whereabouts::live;
        entry.reaped = whereabouts == Whereabouts::gone;
    }
    std::unordered_map<ProcessKey, std::optional<Rise>> rises;
    auto riseOfParent = [&](const ProcessKey& parent) -> const std::optional<Rise>& {
        auto [found, added] = rises.try_emplace(parent);
        if (added) found->second = riseOf(parent);
        return found->second;
    };
    // The ended children of each process, by id, so that matching does not depend on the order seen.
    std::unordered_map<ProcessKey, std::vector<size_t>> children;
    for (size_t index = 0; index < entries_.size(); ++index) children[entries_[index].ended.parent].push_back(index);
    for (auto& [parent, indices] : children)
        std::sort(indices.begin(), indices.end(), [&](size_t a, size_t b) { return entries_[a].ended.process.pid < entries_[b].ended.process.pid; });

    // From each live reaper down its ended children, and theirs in turn: a reaped child's totals are
    // in its reaper's rise when the reaper's count of its children's faults rose by at least the
    // child's last-seen faults and its write count by at least the child's last-seen total. A child
    // that ended after its own parent went to another reaper, so the walk goes on only below the
    // children that fit.
    std::vector<bool> matched(entries_.size(), false);
    for (const auto& [reaper, indices] : children) {
        const std::optional<Rise>& rise = riseOfParent(reaper);
        if (!rise) continue;
        Rise left = *rise;
        const bool reapedAny = rise->reapedFaults > 0;
        std::deque<size_t> waiting(indices.begin(), indices.end());
        while (!waiting.empty()) {
            size_t index = waiting.front();
            waiting.pop_front();
            Entry& entry = entries_[index];
            if (!entry.reaped) continue;
            const Ended& ended = entry.ended;
            if (!reapedAny || ended.faults > left.reapedFaults || ended.bytesWritten > left.bytesWritten) {
                entry.offers += 1;
                continue;
            }
            matched[index] = true;
            left.reapedFaults -= ended.faults;
            left.bytesWritten -= ended.bytesWritten;
            counted[reaper.pid] += ended.bytesWritten;
            if (auto below = children.find(ended.process); below != children.end())
                waiting.insert(waiting.end(), below->second.begin(), below->second.end());
        }
    }

    // What stays: a process not reaped yet, or reaped but not found in any rise yet (it may have been
    // reaped after its reaper was read), for one pass more, as long as the process it would be found
    // under is live or stays too.
    std::vector<bool> keep(entries_.size());
    for (size_t index = 0; index < entries_.size(); ++index)
        keep[index] = !matched[index] && !live[index] && !(entries_[index].reaped && entries_[index].offers >= 2);
    for (bool changed = true; changed;) {
        changed = false;
        std::unordered_set<ProcessKey> kept;
        for (size_t index = 0; index < entries_.size(); ++index)
            if (keep[index]) kept.insert(entries_[index].ended.process);
        for (size_t index = 0; index < entries_.size(); ++index) {
            const ProcessKey& parent = entries_[index].ended.parent;
            if (keep[index] && !riseOfParent(parent) && !kept.count(parent)) {
                keep[index] = false;
                changed = true;
            }
        }
    }
    size_t next = 0;
    for (size_t index = 0; index < entries_.size(); ++index)
        if (keep[index]) entries_[next++] = entries_[index];
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(next), entries_.end());
    return counted;
}
