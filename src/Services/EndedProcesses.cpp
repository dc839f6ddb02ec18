#include "Services/EndedProcesses.h"

#include <algorithm>
#include <unordered_set>

void EndedProcesses::add(Ended process) {
    auto known = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& entry) { return entry.ended.process == process.process; });
    if (known != entries_.end()) {
        *known = Entry{std::move(process)};
        return;
    }
    entries_.push_back(Entry{std::move(process)});
}

std::unordered_map<std::int32_t, EndedProcesses::Counted> EndedProcesses::settle(const RiseOf& riseOf, const WhereaboutsOf& whereaboutsOf,
                                                                                 const std::vector<ProcessKey>& reapers) {
    std::unordered_map<std::int32_t, Counted> counted;
    if (entries_.empty()) return counted;

    std::vector<bool> live(entries_.size(), false);
    size_t deepest = 0;
    for (size_t index = 0; index < entries_.size(); ++index) {
        Entry& entry = entries_[index];
        deepest = std::max(deepest, entry.ended.ancestors.size());
        if (entry.gone) continue;
        Whereabouts whereabouts = whereaboutsOf(entry.ended.process);
        live[index] = whereabouts == Whereabouts::live;
        entry.reaped = whereabouts == Whereabouts::beingReaped || whereabouts == Whereabouts::gone;
        entry.gone = whereabouts == Whereabouts::gone;
    }
    // What is left of each live process's rise once the processes matched with it are taken out, and
    // whether it reaped anything at all.
    struct Reaper {
        std::uint64_t risen = 0;  // its whole write rise
        std::uint64_t ownWritten = 0;  // what its live threads wrote, when known
        Rise left;
        bool reapedAny = false;
        bool reapedUnreadable = false;
    };
    std::unordered_map<ProcessKey, std::optional<Reaper>> risen;
    auto reaperOf = [&](const ProcessKey& process) -> std::optional<Reaper>& {
        auto [found, added] = risen.try_emplace(process);
        if (added)
            if (std::optional<Rise> rise = riseOf(process)) found->second = Reaper{rise->bytesWritten, rise->ownBytesWritten, *rise, rise->reapedFaults > 0};
        return found->second;
    };
    // In id order, so that matching does not depend on the order seen.
    std::vector<size_t> order(entries_.size());
    for (size_t index = 0; index < order.size(); ++index) order[index] = index;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return entries_[a].ended.process.pid < entries_[b].ended.process.pid; });

    // A process fits a reaper when the reaper's count of its children's faults rose by at least the
    // process's last-seen faults, and its write count by at least the process's last-seen total.
    auto fits = [](const std::optional<Reaper>& reaper, const Ended& ended) {
        return reaper && reaper->reapedAny && ended.faults <= reaper->left.reapedFaults && ended.bytesWritten <= reaper->left.bytesWritten;
    };
    std::vector<bool> matched(entries_.size(), false);
    auto match = [&](size_t index, const ProcessKey& reaperKey, Reaper& reaper) {
        const Ended& ended = entries_[index].ended;
        matched[index] = true;
        Rise& left = reaper.left;
        left.reapedFaults -= ended.faults;
        left.bytesWritten -= ended.bytesWritten;
        // Times are kept in whole ticks, each rounded down apart: a little may be missing from the rise.
        const std::uint64_t ticks = std::min(ended.cpuTicks, left.reapedCpuTicks);
        left.reapedCpuTicks -= ticks;
        counted[reaperKey.pid].bytesWritten += ended.bytesWritten;
        counted[reaperKey.pid].cpuTicks += ticks;
        reaper.reapedUnreadable |= ended.unreadable;
    };

    // Nearest ancestors first, for every process at once: a reaper's own children are taken out of
    // its rise before the orphans of its ended children are tried against what is left. A process
    // whose parent lives was reaped by it or by nobody: it is looked for no higher.
    std::vector<bool> settled(entries_.size(), false);
    for (size_t distance = 0; distance < deepest; ++distance) {
        for (size_t index : order) {
            const Ended& ended = entries_[index].ended;
            if (!entries_[index].reaped || settled[index] || distance >= ended.ancestors.size()) continue;
            const ProcessKey& ancestor = ended.ancestors[distance];
            std::optional<Reaper>& reaper = reaperOf(ancestor);
            if (!reaper) continue;
            // A parent that has ended itself handed its orphans on; one still running reaped them or left them unreaped.
            settled[index] = distance == 0 && !reaper->left.exited;
            if (!fits(reaper, ended)) continue;
            settled[index] = true;
            match(index, ancestor, *reaper);
        }
    }
    // Then each process with no known ancestor, against what is left of the rise of every reaper that
    // started before it (a reaper is an ancestor): the one it fits most closely, by the faults left
    // over, took it; of two as close, the lower id, so that the order they were listed in never counts.
    auto closer = [&](const ProcessKey& candidate, const ProcessKey& other) {
        const std::uint64_t left = reaperOf(candidate)->left.reapedFaults, otherLeft = reaperOf(other)->left.reapedFaults;
        return left != otherLeft ? left < otherLeft : candidate.pid < other.pid;
    };
    for (size_t index : order) {
        const Ended& ended = entries_[index].ended;
        if (!entries_[index].reaped || !ended.ancestors.empty()) continue;
        const ProcessKey* closest = nullptr;
        for (const ProcessKey& candidate : reapers)
            if (candidate.startTicks <= ended.process.startTicks && fits(reaperOf(candidate), ended) && (!closest || closer(candidate, *closest)))
                closest = &candidate;
        if (closest) match(index, *closest, *reaperOf(*closest));
    }
    // What a process that could not be read handed on cannot be told apart from the rest of its
    // reaper's rise, what its other children wrote since they were last seen included: of that rise only
    // what the reaper's live threads wrote is charged. Set, not added to what those children were
    // counted, which the rise already holds.
    for (const auto& [process, reaper] : risen)
        if (reaper && reaper->reapedUnreadable) counted[process.pid].bytesWritten = reaper->risen - std::min(reaper->ownWritten, reaper->risen);

    // What stays: a process not reaped yet or being reaped, or gone but not found in any rise yet (it
    // may have been reaped after its reaper was read), for one pass more, as long as an ancestor it
    // could be found under is live or stays too; one with no known ancestor, as long as it may still
    // show in a rise.
    std::vector<bool> keep(entries_.size());
    for (size_t index = 0; index < entries_.size(); ++index) {
        Entry& entry = entries_[index];
        if (entry.gone && !matched[index]) entry.offers += 1;
        keep[index] = !matched[index] && !live[index] && !(entry.gone && entry.offers >= 2);
    }
    for (bool changed = true; changed;) {
        changed = false;
        std::unordered_set<ProcessKey> kept;
        for (size_t index = 0; index < entries_.size(); ++index)
            if (keep[index]) kept.insert(entries_[index].ended.process);
        for (size_t index = 0; index < entries_.size(); ++index) {
            const std::vector<ProcessKey>& ancestors = entries_[index].ended.ancestors;
            if (keep[index] && !ancestors.empty() && std::none_of(ancestors.begin(), ancestors.end(), [&](const ProcessKey& ancestor) {
                    return reaperOf(ancestor).has_value() || kept.count(ancestor);
                })) {
                keep[index] = false;
                changed = true;
            }
        }
    }
    size_t next = 0;
    for (size_t index = 0; index < entries_.size(); ++index) {
        if (!keep[index]) continue;
        if (next != index) entries_[next] = std::move(entries_[index]);
        ++next;
    }
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(next), entries_.end());
    return counted;
}
