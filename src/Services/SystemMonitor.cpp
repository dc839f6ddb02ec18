#include "Services/SystemMonitor.h"

#include "Platform/ProcessorInfo.h"

#include <QTimer>

#include <algorithm>

SystemMonitor::SystemMonitor(QObject* parent) : SystemMonitor(Environment{}, parent) {}

SystemMonitor::SystemMonitor(Environment environment, QObject* parent)
    : QObject(parent),
      environment_(std::move(environment)),
      roots_(SystemRoots::current()),
      processor_(roots_),
      memorySampler_(roots_),
      diskStatistics_(roots_),
      networkStatistics_(roots_),
      batterySampler_(roots_),
      loadAverage_(roots_),
      appSampler_(roots_),
      devProjects_(roots_, environment_.terminate, environment_.clock(), environment_.markerLook, environment_.lookLimit) {
    if (!environment_.capacity) environment_.capacity = [root = roots_.root] { return DiskCapacityService().capacity(root); };
    ProcessorInfo info = ProcessorInfo::read(roots_);
    cpu_.performanceCores = info.performanceCores;
    cpu_.efficiencyCores = info.efficiencyCores;
    cpu_.logicalCores = info.logicalCores;
    cpu_.chipName = info.chipName;
    if (auto memory = memorySampler_.memoryUsage()) metrics_.memoryTotal = memory->total;
    for (auto* history : {&cpuHistory_, &memoryHistory_, &networkHistory_, &downloadHistory_, &uploadHistory_,
                          &diskReadHistory_, &diskWriteHistory_, &batteryHistory_})
        history->reserve(historyLength + 1);
}

SystemMonitor::~SystemMonitor() = default;

void SystemMonitor::start() {
    if (timer_) return;
    sample();
    timer_ = new QTimer(this);
    timer_->setInterval(environment_.interval);
    // The timer is owned by the monitor: once the monitor is gone no firing can reach it.
    connect(timer_, &QTimer::timeout, this, &SystemMonitor::sample);
    timer_->start();
}

std::vector<DevProject> SystemMonitor::stop(const std::vector<DevProject>& projects) {
    std::vector<DevProject> failed = devProjects_.stop(projects);
    bool changed = false;
    for (const DevProject& project : projects) {
        if (std::any_of(failed.begin(), failed.end(), [&](const DevProject& refused) { return refused.id == project.id; })) continue;
        stops_[project.id] = StopRequest{project.processes, lastSampleAt_};
        for (DevProject& listed : projects_) {
            if (listed.id != project.id) continue;
            listed.stop = ProjectStop::stopping;
            changed = true;
        }
    }
    if (changed) emit projectsChanged();
    return failed;
}

void SystemMonitor::followStops(Instant now) {
    std::unordered_map<std::string, StopRequest> following;
    for (DevProject& project : projects_) {
        auto request = stops_.find(project.id);
        if (request == stops_.end()) continue;
        const std::vector<ProcessIdentity>& signalled = request->second.processes;
        // Only the processes that had the signal: others in the same folder are a new run.
        const bool outlived = std::any_of(project.processes.begin(), project.processes.end(), [&](const ProcessIdentity& process) {
            return std::find(signalled.begin(), signalled.end(), process) != signalled.end();
        });
        if (!outlived) continue;
        project.stop = now.secondsSince(request->second.askedAt) >= stopGraceSeconds ? ProjectStop::stillRunning : ProjectStop::stopping;
        following.insert(*request);
    }
    stops_ = std::move(following);
}

void SystemMonitor::append(std::vector<MetricPoint>& history, Instant now, double value) {
    history.push_back(MetricPoint{Uuid::random(), now, value});
    if (history.size() > historyLength) history.erase(history.begin(), history.end() - historyLength);
}

void SystemMonitor::sample() {
    const Instant now = environment_.clock();
    lastSampleAt_ = now;
    // The whole sample is taken first and published after: a view that follows any one signal
    // reads figures, histories and applications of the same sample.
    Published published;

    // A failed reading repeats the last published use.
    double usage = metrics_.cpuUsage;
    auto processorUse = processor_.cpuUsage(cpu_);
    if (processorUse) {
        usage = *processorUse;
        processorReadings_ += 1;
    }
    // The first reading is only the baseline of the next one.
    measured_.cpu = processorUse && processorReadings_ >= 2;

    auto memory = memorySampler_.memoryUsage();
    auto traffic = networkStatistics_.read();
    BatteryStatus power = batterySampler_.batteryStatus();

    std::uint64_t downRate = 0;
    std::uint64_t upRate = 0;
    // Unreadable counters are no sample: read as zeros they would make the next second's traffic the
    // whole total since boot.
    std::optional<CounterRates::Step> step;
    if (traffic) step = networkTraffic_.advance(*traffic, now);
    if (step) {
        downRate = step->firstPerSecond;
        upRate = step->secondPerSecond;
        network_.downloaded += step->firstAdded;
        network_.uploaded += step->secondAdded;
        network_.peakDown = std::max(network_.peakDown, downRate);
        published.network = true;
    }
    measured_.network = step.has_value();
    measured_.networkSession = measured_.networkSession || measured_.network;

    published.disk = sampleDisk(now);
    startCapacityReading();

    measured_.memory = memory.has_value();
    if (memory) {
        memory_ = memory->detail;
        published.memory = true;
    }

    metrics_.cpuUsage = usage;
    metrics_.memoryUsed = memory_.app + memory_.wired + memory_.compressed;
    if (memory) metrics_.memoryTotal = memory->total;
    metrics_.networkDownPerSecond = downRate;
    metrics_.networkUpPerSecond = upRate;
    metrics_.batteryPercent = power.percent;
    metrics_.isCharging = power.charging;

    auto load = loadAverage_.oneMinute();
    if (load) cpu_.loadAverage = *load;
    measured_.loadAverage = load.has_value();
    // The baseline's zero and repeated readings are no use of the processor: they stay out of the
    // session's average and peak.
    if (measured_.cpu) {
        cpuSampleCount_ += 1;
        cpu_.sessionAverage += (usage - cpu_.sessionAverage) / static_cast<double>(cpuSampleCount_);
        cpu_.sessionPeak = std::max(cpu_.sessionPeak, usage);
        measured_.cpuSession = true;
    }

    append(cpuHistory_, now, usage);
    append(memoryHistory_, now, metrics_.memoryTotal > 0 ? static_cast<double>(metrics_.memoryUsed) / static_cast<double>(metrics_.memoryTotal) : 0);
    append(networkHistory_, now, static_cast<double>(downRate) + static_cast<double>(upRate));
    append(downloadHistory_, now, static_cast<double>(downRate));
    append(uploadHistory_, now, static_cast<double>(upRate));
    append(diskReadHistory_, now, static_cast<double>(disk_.readPerSecond));
    append(diskWriteHistory_, now, static_cast<double>(disk_.writePerSecond));
    if (power.percent) {
        append(batteryHistory_, now, *power.percent);
        published.batteryHistory = true;
    }

    if (tick_ % 2 == 0) {
        startProcessPass(now);
        battery_ = batterySampler_.batteryDetail();
        published.battery = true;
    }
    tick_ += 1;
    publish(published);
}

void SystemMonitor::publish(const Published& published) {
    if (published.network) emit networkChanged();
    if (published.disk) emit diskChanged();
    if (published.memory) emit memoryChanged();
    emit metricsChanged();
    emit cpuChanged();
    emit cpuHistoryChanged();
    emit memoryHistoryChanged();
    emit networkHistoryChanged();
    emit downloadHistoryChanged();
    emit uploadHistoryChanged();
    emit diskReadHistoryChanged();
    emit diskWriteHistoryChanged();
    if (published.batteryHistory) emit batteryHistoryChanged();
    if (published.battery) emit batteryChanged();
}

bool SystemMonitor::sampleDisk(Instant now) {
    measured_.disk = false;
    auto totals = diskStatistics_.read();
    if (!totals) return false;
    auto step = diskRates_.advance(totals->read, totals->written, now);
    if (!step) return false;
    measured_.disk = true;
    measured_.diskSession = true;
    disk_.readPerSecond = step->firstPerSecond;
    disk_.writePerSecond = step->secondPerSecond;
    disk_.sessionRead += step->firstAdded;
    disk_.sessionWritten += step->secondAdded;
    return true;
}

void SystemMonitor::startProcessPass(Instant now) {
    if (processPassRunning_) return;
    processPassRunning_ = true;
    const int cores = cpu_.logicalCores;
    // The samplers are touched by the sampling thread alone; a stop forgets activity under their lock.
    sampling_.run(
        std::stop_source(),
        [this, now, cores](std::stop_token) {
            ProcessPass pass{now, appSampler_.sampleApps(now, cores), std::nullopt};
            if (pass.apps && pass.apps->hadPreviousPass) pass.projects = devProjects_.projects(pass.apps->devSamples, now);
            return pass;
        },
        [this](JobOutcome<ProcessPass>& outcome) {
            processPassRunning_ = false;
            try {
                applyProcessPass(outcome.value());
            } catch (const std::exception&) {
                // Out of memory in one pass: the rows of the previous one stay.
            }
        });
}

void SystemMonitor::startCapacityReading() {
    // A volume that stops answering holds this reading, never the samples; the last figures stay.
    if (capacityReadingRunning_) return;
    capacityReadingRunning_ = true;
    capacityReading_.run(
        std::stop_source(), [read = environment_.capacity](std::stop_token) { return read(); },
        [this](JobOutcome<DiskCapacityService::Capacity>& outcome) {
            capacityReadingRunning_ = false;
            DiskCapacityService::Capacity capacity;
            try {
                capacity = outcome.value();
            } catch (const std::exception&) {
                return;  // the last figures stay
            }
            if (capacity == capacity_) return;
            capacity_ = capacity;
            emit capacityChanged();
        });
}

void SystemMonitor::applyProcessPass(ProcessPass& pass) {
    if (!pass.apps) return;
    // Pages that processes share without the kernel saying so cheaply (a forked worker's inherited
    // heap) count in each of them: no application or project holds more than the machine has in use.
    const std::uint64_t inUse = metrics_.memoryUsed;
    auto atMostInUse = [inUse](std::uint64_t& memory) {
        if (inUse > 0) memory = std::min(memory, inUse);
    };
    if (pass.projects) {
        projects_ = std::move(*pass.projects);
        for (DevProject& project : projects_) atMostInUse(project.memory);
        followStops(pass.date);
    }
    measured_.appRates = pass.apps->hadPreviousPass;
    apps_ = std::move(pass.apps->apps);
    for (AppUsage& app : apps_) atMostInUse(app.memory);
    if (pass.projects) emit projectsChanged();
    emit appsChanged();
}
