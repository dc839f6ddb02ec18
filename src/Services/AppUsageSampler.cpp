#include "Services/AppUsageSampler.h"

#include "Platform/ProgramPath.h"
#include "Services/CounterRates.h"
#include "Services/DevProjectsService.h"
#include "Services/HeldMemory.h"

#include <algorithm>
#include <string>

AppUsageSampler::AppUsageSampler(const SystemRoots& roots, std::vector<std::filesystem::path> searchPath)
    : table_(roots), applications_(roots, std::move(searchPath)) {}

std::optional<AppUsagePass> AppUsageSampler::sampleApps(Instant now, int cores) {
    auto pids = table_.pids();
    if (!pids || pids->empty()) return std::nullopt;
    AppUsagePass pass;
    pass.hadPreviousPass = previousDate_.has_value();
    double seconds = pass.hadPreviousPass ? std::max(now.secondsSince(*previousDate_), 0.5) : 1;
    double coreCount = std::max(cores, 1);
    double ticksPerSecond = table_.ticksPerSecond();
    // Entries read again point elsewhere: every process is looked up afresh.
    const bool entriesChanged = applications_.refresh();

    // Rows by program name, with their summed shares and write rates beside them.
    std::unordered_map<std::string, size_t> rowIndex;
    std::vector<double> rowShares;
    std::vector<double> rowWriteRates;
    std::vector<std::pair<size_t, size_t>> devSampleProcesses;  // sample, process number in forked_
    current_.clear();
    current_.reserve(previous_.size() + 64);
    risen_.clear();
    std::uint64_t newestStart = 0;
    for (std::int32_t pid : *pids) {
        auto process = table_.read(pid);
        if (!process) {
            // Kept for the processes it reaps and the process that reaps it.
            if (auto unreadable = table_.unreadable(pid))
                current_[pid] = Baseline{unreadable->startTicks, unreadable->parentPid, unreadable->cpuTicks, 0,
                                         unreadable->faults + unreadable->reapedFaults, unreadable->reapedFaults, nullptr, false};
            continue;
        }
        std::string_view path = ProgramPath::withoutDeletedMark(process->executablePath);
        auto before = previous_.find(pid);
        if (before != previous_.end() && before->second.startTicks != process->startTicks) before = previous_.end();
        // It reaped a child since the previous pass, perhaps between the reads of its count and its faults.
        if (before != previous_.end() && process->reapedFaults != before->second.reapedFaults) table_.readReapedCountsAgain(*process);
        // One that could not be read then is measured from now on.
        const bool unreadableBefore = before != previous_.end() && !before->second.readable;
        if (unreadableBefore) before = previous_.end();
        const bool seenBefore = before != previous_.end() && !entriesChanged;
        const DesktopApplications::Application* application = seenBefore ? before->second.application : nullptr;
        if (!seenBefore) {
            std::optional<std::string> flatpak;
            if (applications_.hasFlatpakApplications()) flatpak = table_.flatpakApplication(pid);
            application = applications_.match(path, flatpak ? std::optional<std::string_view>(*flatpak) : std::nullopt);
        }
        // What it holds is read again only when its resident size changed since the previous pass.
        auto held = previous_.find(pid);
        if (held != previous_.end() && held->second.startTicks == process->startTicks && held->second.readable &&
            held->second.residentBytes == process->residentBytes) {
            process->anonymousBytes = held->second.anonymousBytes;
            process->sharedMemoryBytes = held->second.sharedMemoryBytes;
        } else {
            table_.readOwnMemory(*process);
        }
        current_[pid] = Baseline{process->startTicks,
                                 process->parentPid,
                                 process->cpuTicks,
                                 process->bytesWrittenWithReapedChildren,
                                 process->faults + process->reapedFaults,
                                 process->reapedFaults,
                                 application,
                                 true,
                                 process->residentBytes,
                                 process->anonymousBytes,
                                 process->sharedMemoryBytes};
        current_[pid].reapedCpuTicks = process->reapedCpuTicks;

        // With the times of the children it reaped; those counted already come off once all are read.
        const std::uint64_t cpuTicks = process->cpuTicks + process->reapedCpuTicks;
        std::uint64_t ticks = 0;
        if (before != previous_.end())
            ticks = CounterRates::added(cpuTicks, before->second.cpuTicks + before->second.reapedCpuTicks);
        else if (pass.hadPreviousPass && !unreadableBefore && process->startTicks >= previousNewestStart_)
            ticks = cpuTicks;
        std::optional<size_t> devSample;

        const bool devRuntime = DevProjectsService::isDevRuntime(path, process->commandName);
        if (devRuntime) {
            DevProcessSample sample;
            sample.pid = pid;
            sample.executable = DevProjectsService::executableName(path, process->commandName);
            sample.memory = process->anonymousBytes;
            sample.sharedMemory = process->sharedMemoryBytes;
            sample.cpuTime = static_cast<double>(cpuTicks) / ticksPerSecond;
            sample.startedAt = table_.startTime(process->startTicks);
            sample.identity = ProcessIdentity{pid, process->startTicks, std::string(process->executablePath)};
            devSample = pass.devSamples.size();
            pass.devSamples.push_back(std::move(sample));
        }

        // Processes are grouped by application, else by their program's name; the first one seen
        // gives the row its program.
        std::string name(ProgramPath::name(path));
        auto [row, added] = rowIndex.emplace(application ? application->id : name, pass.apps.size());
        if (added) {
            AppUsage app;
            app.id = application ? application->id : name;
            app.name = application ? application->name : name;
            if (application) app.iconName = application->icon;
            app.iconPath = std::filesystem::path(std::string(path));
            pass.apps.push_back(std::move(app));
            rowShares.push_back(0);
            rowWriteRates.push_back(0);
        }
        AppUsage& app = pass.apps[row->second];
        app.processCount += 1;
        const size_t counted = forked_.add({pid, process->parentPid, process->startTicks, row->second, process->anonymousBytes, process->sharedMemoryBytes});
        if (devRuntime) devSampleProcesses.emplace_back(pass.devSamples.size() - 1, counted);
        // A process that started after the previous pass had written nothing then: all it wrote is new.
        std::uint64_t rise = 0;
        if (before != previous_.end())
            rise = CounterRates::added(process->bytesWrittenWithReapedChildren, before->second.bytesWrittenWithReapedChildren);
        else if (pass.hadPreviousPass && !unreadableBefore && process->startTicks >= previousNewestStart_)
            rise = process->bytesWrittenWithReapedChildren;
        if (rise > 0 || ticks > 0) risen_.push_back(Risen{pid, row->second, rise, ticks, devSample});
        newestStart = std::max(newestStart, process->startTicks);
    }

    const std::vector<HeldMemory> rowMemory = forked_.settle(table_, pass.apps.size());
    for (const auto& [sample, counted] : devSampleProcesses) pass.devSamples[sample].memory = forked_.anonymousBytes(counted);
    readThreadsOfWaitingProcesses();
    keepUnreadParents();
    const auto counted = settleEndedProcesses(*pids);
    for (const Risen& process : risen_) {
        auto already = counted.find(process.pid);
        const EndedProcesses::Counted before = already != counted.end() ? already->second : EndedProcesses::Counted{};
        const std::uint64_t written = CounterRates::added(process.bytesWritten, before.bytesWritten);
        rowWriteRates[process.row] += static_cast<double>(written) / seconds;
        if (!pass.hadPreviousPass) continue;
        const double share = static_cast<double>(CounterRates::added(process.cpuTicks, before.cpuTicks)) / ticksPerSecond / seconds / coreCount;
        rowShares[process.row] += share;
        if (process.devSample) {
            pass.devSamples[*process.devSample].cpuShare = share;
            pass.devSamples[*process.devSample].coreShare = share * coreCount;
        }
    }
    for (size_t index = 0; index < pass.apps.size(); ++index) {
        pass.apps[index].cpu = std::min(rowShares[index], 1.0);
        pass.apps[index].diskWritePerSecond = CounterRates::truncated(rowWriteRates[index]);
        pass.apps[index].memory = rowMemory[index].bytes();
    }
    previous_.swap(current_);
    previousThreads_.swap(currentThreads_);
    previousUnreadParents_.swap(currentUnreadParents_);
    previousNewestStart_ = newestStart;
    previousDate_ = now;
    return pass;
}

const AppUsageSampler::Baseline* AppUsageSampler::Lineage::find(std::int32_t pid) const {
    if (auto found = pass.find(pid); found != pass.end()) return &found->second;
    if (auto found = unreadParents.find(pid); found != unreadParents.end()) return &found->second;
    return nullptr;
}

template <typename Visit>
void AppUsageSampler::forEachAncestor(const Baseline& process, const Lineage& lineage, Visit visit) {
    // A parent starts no later than its child (often in the same tick), so one that started later holds a
    // reused id, and the line ends there.
    const Baseline* child = &process;
    for (size_t steps = 0; steps < lineage.size(); ++steps) {
        const std::int32_t parentPid = child->parentPid;
        const Baseline* parent = lineage.find(parentPid);
        if (!parent || parent->startTicks > child->startTicks) return;
        if (!visit(parentPid, *parent)) return;
        child = parent;
    }
}

void AppUsageSampler::keepUnreadParents() {
    currentUnreadParents_.clear();
    const Lineage lastSeen{previous_, previousUnreadParents_};
    for (const auto& [pid, process] : current_) {
        // Each step keeps one parent more, none twice: the line ends, even where ids loop.
        const Baseline* child = &process;
        while (!current_.count(child->parentPid) && !currentUnreadParents_.count(child->parentPid)) {
            const Baseline* parent = lastSeen.find(child->parentPid);
            if (!parent || parent->startTicks > child->startTicks) break;
            child = &currentUnreadParents_.emplace(child->parentPid, *parent).first->second;
        }
    }
}

void AppUsageSampler::endProcessesReapedAfterTheyWereRead() {
    const Lineage now{current_, currentUnreadParents_};
    std::vector<std::int32_t> ended;
    for (const auto& [pid, process] : current_) {
        bool readBeforeAReaper = false;
        forEachAncestor(process, now, [&](std::int32_t ancestorPid, const Baseline& ancestor) {
            if (ancestorPid < pid || !ancestor.readable) return true;
            auto before = previous_.find(ancestorPid);
            readBeforeAReaper = before != previous_.end() && before->second.startTicks == ancestor.startTicks &&
                                ancestor.reapedFaults != before->second.reapedFaults;
            return !readBeforeAReaper;
        });
        if (!readBeforeAReaper) continue;
        const auto start = table_.start(pid);
        if (start && start->ticks == process.startTicks && !start->beingReaped) continue;
        std::vector<ProcessKey> ancestors;
        forEachAncestor(process, now, [&](std::int32_t ancestorPid, const Baseline& ancestor) {
            ancestors.push_back(ProcessKey{ancestorPid, ancestor.startTicks});
            return true;
        });
        ended_.add({ProcessKey{pid, process.startTicks}, std::move(ancestors), process.bytesWrittenWithReapedChildren,
                    process.faultsWithReapedChildren, process.cpuTicks + process.reapedCpuTicks, !process.readable});
        ended.push_back(pid);
    }
    for (std::int32_t pid : ended) current_.erase(pid);
}

void AppUsageSampler::readThreadsOfWaitingProcesses() {
    currentThreads_.clear();
    auto read = [&](std::int32_t pid, const Baseline& process, bool waiting) {
        auto [seen, added] = currentThreads_.try_emplace(pid);
        if (!added) {
            seen->second.waiting |= waiting;
            return;
        }
        if (const std::vector<ThreadWrites>* threads = table_.threadWrites(pid, process.startTicks))
            seen->second = ThreadsSeen{process.startTicks, *threads, waiting};
        else
            currentThreads_.erase(seen);
    };
    for (const auto& [pid, process] : current_) {
        if (process.readable) continue;
        auto parent = current_.find(process.parentPid);
        if (parent != current_.end() && parent->second.readable && parent->second.startTicks <= process.startTicks)
            read(parent->first, parent->second, true);
    }
    // Once more after: the child may have been reaped since the previous pass.
    for (const auto& [pid, seen] : previousThreads_) {
        auto process = current_.find(pid);
        if (seen.waiting && process != current_.end() && process->second.startTicks == seen.startTicks) read(pid, process->second, false);
    }
}

namespace {

// What the live threads of a process wrote between two readings. Each thread's count only grows,
// while their sum falls when one ends: an ended thread's count goes to the process's count, where it
// is one with the reaped children's totals. So each thread listed now adds its rise since the earlier
// reading, or all it wrote when it was not listed then (it started since, or had written nothing), and
// what a thread wrote in between and then ended with is left out: the figure may fall short, but it
// never goes back and never holds a child's writes.
std::uint64_t threadsRise(const std::vector<ThreadWrites>& before, const std::vector<ThreadWrites>& now) {
    std::uint64_t rise = 0;
    for (const ThreadWrites& thread : now) {
        auto earlier = std::find_if(before.begin(), before.end(), [&](const ThreadWrites& other) {
            return other.tid == thread.tid && other.startTicks == thread.startTicks;
        });
        rise += earlier != before.end() ? CounterRates::added(thread.bytesWritten, earlier->bytesWritten) : thread.bytesWritten;
    }
    return rise;
}

}  // namespace

std::unordered_map<std::int32_t, EndedProcesses::Counted> AppUsageSampler::settleEndedProcesses(const std::vector<std::int32_t>& pids) {
    auto continued = [&](std::int32_t pid, std::uint64_t startTicks) {
        auto found = current_.find(pid);
        return found != current_.end() && found->second.startTicks == startTicks;
    };
    const Lineage lastSeen{previous_, previousUnreadParents_};
    for (const auto& [pid, seen] : previous_) {
        if (continued(pid, seen.startTicks)) continue;
        // Its ancestors as last seen, its parent first: its reaper is one of them. One with none known
        // is still kept, and looked for among the processes that reaped.
        std::vector<ProcessKey> ancestors;
        forEachAncestor(seen, lastSeen, [&](std::int32_t ancestorPid, const Baseline& ancestor) {
            ancestors.push_back(ProcessKey{ancestorPid, ancestor.startTicks});
            return true;
        });
        ended_.add({ProcessKey{pid, seen.startTicks}, std::move(ancestors), seen.bytesWrittenWithReapedChildren, seen.faultsWithReapedChildren,
                    seen.cpuTicks + seen.reapedCpuTicks, !seen.readable});
    }
    // After them, as this pass's sighting replaces the previous one.
    endProcessesReapedAfterTheyWereRead();
    auto riseOf = [&](const ProcessKey& process) -> std::optional<EndedProcesses::Rise> {
        auto before = previous_.find(process.pid);
        if (!continued(process.pid, process.startTicks) || before == previous_.end() || before->second.startTicks != process.startTicks)
            return std::nullopt;
        const Baseline& now = current_.at(process.pid);
        EndedProcesses::Rise rise{CounterRates::added(now.bytesWrittenWithReapedChildren, before->second.bytesWrittenWithReapedChildren),
                                  CounterRates::added(now.reapedFaults, before->second.reapedFaults),
                                  CounterRates::added(now.reapedCpuTicks, before->second.reapedCpuTicks)};
        auto threadsBefore = previousThreads_.find(process.pid);
        auto threadsNow = currentThreads_.find(process.pid);
        if (threadsBefore != previousThreads_.end() && threadsNow != currentThreads_.end() &&
            threadsBefore->second.startTicks == process.startTicks && threadsNow->second.startTicks == process.startTicks)
            rise.ownBytesWritten = threadsRise(threadsBefore->second.threads, threadsNow->second.threads);
        const auto start = table_.start(process.pid);
        rise.exited = !start || start->ticks != process.startTicks || start->exited;
        return rise;
    };
    // Asked after every live process's counters were read: a process still there now was not reaped
    // when its reaper was read, and one missing from the list taken before them was.
    auto whereaboutsOf = [&](const ProcessKey& process) {
        if (continued(process.pid, process.startTicks)) return EndedProcesses::Whereabouts::live;
        if (!std::binary_search(pids.begin(), pids.end(), process.pid) || current_.count(process.pid)) return EndedProcesses::Whereabouts::gone;
        const auto start = table_.start(process.pid);
        if (!start || start->ticks != process.startTicks) return EndedProcesses::Whereabouts::gone;
        return start->beingReaped ? EndedProcesses::Whereabouts::beingReaped : EndedProcesses::Whereabouts::unreaped;
    };
    // Every live process that reaped since the previous pass.
    std::vector<ProcessKey> reapers;
    for (const auto& [pid, now] : current_) {
        auto before = previous_.find(pid);
        if (before != previous_.end() && before->second.startTicks == now.startTicks && before->second.reapedFaults != now.reapedFaults)
            reapers.push_back(ProcessKey{pid, now.startTicks});
    }
    return ended_.settle(riseOf, whereaboutsOf, reapers);
}
