#pragma once

#include "Foundation/Instant.h"
#include "Platform/DesktopApplications.h"
#include "Platform/ProcessTable.h"
#include "Platform/SystemRoots.h"
#include "Models/AppUsage.h"
#include "Services/DevProcessSample.h"

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
// application whose desktop entry starts the process's program, else by program name.
class AppUsageSampler {
public:
    explicit AppUsageSampler(const SystemRoots& roots,
                             std::vector<std::filesystem::path> searchPath = DesktopApplications::environmentSearchPath());

    // Absent when the process list cannot be read: nothing changes.
    std::optional<AppUsagePass> sampleApps(Instant now, int cores);

private:
    // A process id is only a process together with its start time: ids are reused.
    struct ProcessKey {
        std::int32_t pid;
        std::uint64_t startTicks;
        bool operator==(const ProcessKey&) const = default;
    };
    struct ProcessKeyHash {
        size_t operator()(const ProcessKey& key) const noexcept {
            return std::hash<std::uint64_t>()((static_cast<std::uint64_t>(key.pid) << 40) ^ key.startTicks);
        }
    };
    struct Baseline {
        std::uint64_t cpuTicks;
        std::uint64_t bytesWrittenWithReapedChildren;
        // Its threads that had written anything, with their own totals; a thread id is only a thread
        // together with its start time.
        std::vector<ThreadWrites> threads;
        // A process keeps its application for life: it is looked up once, when first seen.
        const DesktopApplications::Application* application = nullptr;
    };
    using Baselines = std::unordered_map<ProcessKey, Baseline, ProcessKeyHash>;

    // What a process's live threads wrote since the previous pass (`before`, absent for a process
    // new to this pass), recording their totals in `now` for the next.
    std::uint64_t ownWritesSince(Baseline* before, const ProcessReading& process, Baseline& now);

    ProcessTable table_;
    DesktopApplications applications_;
    Baselines previous_;
    Baselines current_;
    std::optional<Instant> previousDate_;
};
