#include "Services/AppUsageSampler.h"

#include "Platform/ProgramPath.h"
#include "Services/CounterRates.h"
#include "Services/DevProjectsService.h"

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
    current_.clear();
    current_.reserve(previous_.size() + 64);
    for (std::int32_t pid : *pids) {
        auto process = table_.read(pid);
        if (!process) continue;
        ProcessKey key{pid, process->startTicks};
        std::string_view path = ProgramPath::withoutDeletedMark(process->executablePath);
        auto before = previous_.find(key);
        const bool seenBefore = before != previous_.end() && !entriesChanged;
        const DesktopApplications::Application* application = seenBefore ? before->second.application : nullptr;
        if (!seenBefore) {
            std::optional<std::string> flatpak;
            if (applications_.hasFlatpakApplications()) flatpak = table_.flatpakApplication(pid);
            application = applications_.match(path, flatpak ? std::optional<std::string_view>(*flatpak) : std::nullopt);
        }
        Baseline& baseline = current_[key] = Baseline{process->cpuTicks, process->bytesWrittenWithReapedChildren, {}, application};
        const std::uint64_t written = ownWritesSince(before != previous_.end() ? &before->second : nullptr, *process, baseline);

        double share = 0;
        double writeRate = 0;
        if (pass.hadPreviousPass) {
            if (before != previous_.end()) {
                if (process->cpuTicks >= before->second.cpuTicks)
                    share = static_cast<double>(process->cpuTicks - before->second.cpuTicks) / ticksPerSecond / seconds / coreCount;
                writeRate = static_cast<double>(written) / seconds;
            }
        }

        if (DevProjectsService::isDevRuntime(path, process->commandName)) {
            DevProcessSample sample;
            sample.pid = pid;
            sample.executable = DevProjectsService::executableName(path, process->commandName);
            sample.memory = process->residentBytes;
            sample.cpuShare = share;
            sample.coreShare = share * coreCount;
            sample.cpuTime = static_cast<double>(process->cpuTicks) / ticksPerSecond;
            sample.startedAt = table_.startTime(process->startTicks);
            sample.identity = ProcessIdentity{pid, process->startTicks, std::string(process->executablePath)};
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
        app.memory += process->residentBytes;
        rowShares[row->second] += share;
        rowWriteRates[row->second] += writeRate;
    }
    for (size_t index = 0; index < pass.apps.size(); ++index) {
        pass.apps[index].cpu = std::min(rowShares[index], 1.0);
        pass.apps[index].diskWritePerSecond = CounterRates::truncated(rowWriteRates[index]);
    }
    previous_.swap(current_);
    previousDate_ = now;
    return pass;
}

std::uint64_t AppUsageSampler::ownWritesSince(Baseline* before, const ProcessReading& process, Baseline& now) {
    // The process's total grows with every byte any of its threads writes, so while it stands still
    // the threads have written nothing and their totals stay as they were: no need to read them.
    if (before && before->bytesWrittenWithReapedChildren == process.bytesWrittenWithReapedChildren) {
        now.threads = std::move(before->threads);
        return 0;
    }
    const std::vector<ThreadWrites>& threads = table_.threadWrites(process);
    now.threads.assign(threads.begin(), threads.end());
    if (!before) return 0;
    // The total itself also jumps by what a reaped child or an ended thread wrote: only the live
    // threads' own totals count. The previous reading listed every thread that had written by then,
    // so one it did not list started since or had written nothing yet: all it wrote is new. A thread
    // that ended is simply gone; what it wrote since the previous pass is not known.
    std::uint64_t written = 0;
    for (const ThreadWrites& thread : threads) {
        auto old = std::find_if(before->threads.begin(), before->threads.end(), [&](const ThreadWrites& earlier) {
            return earlier.tid == thread.tid && earlier.startTicks == thread.startTicks;
        });
        written += CounterRates::added(thread.bytesWritten, old != before->threads.end() ? old->bytesWritten : 0);
    }
    return written;
}
