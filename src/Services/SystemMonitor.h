#pragma once

#include <QObject>

#include "Foundation/BackgroundJobs.h"
#include "Models/MetricPoint.h"
#include "Models/SystemMetrics.h"
#include "Platform/DiskStatistics.h"
#include "Foundation/Instant.h"
#include "Platform/LoadAverage.h"
#include "Platform/NetworkStatistics.h"
#include "Platform/SystemRoots.h"
#include "Models/AppUsage.h"
#include "Services/AppUsageSampler.h"
#include "Models/BatteryDetail.h"
#include "Services/BatterySampler.h"
#include "Models/CPUDetail.h"
#include "Services/CounterRates.h"
#include "Models/DevProject.h"
#include "Services/DevProjectsService.h"
#include "Services/DiskCapacityService.h"
#include "Models/DiskIO.h"
#include "Models/MemoryDetail.h"
#include "Services/MeasuredFigures.h"
#include "Services/MemorySampler.h"
#include "Services/NetworkTraffic.h"
#include "Models/NetworkSession.h"
#include "Services/ProcessorSampler.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

class QTimer;

// The one object that measures the machine's live load: processor, memory, network, disk and
// battery every second; per-application load, developer projects and battery detail every second
// sample; each with a short history. Lives on the main thread; reports no errors: a source that
// cannot be read keeps its last value or reads zero. A sample's signals all come after the whole
// sample is in place, so any of them reads the figures, histories and applications of one sample.
// The pass over the processes (their /proc files, which wait on a process stuck in a file system,
// and the project folders, which wait on a file system that stops answering) runs on a sampling
// thread of its own and is published when it ends, with its own signals; the window never waits
// for it, and a pass still running when the next is due is not started twice. The capacity of the
// start-up volume is read at every sample on a thread of its own, for the same reason.
class SystemMonitor : public QObject {
    Q_OBJECT

public:
    static constexpr size_t historyLength = 90;

    // How long the processes of a stopped project may take to end before it says it still runs.
    static constexpr double stopGraceSeconds = 3;

    // What tests replace: the clock read once per sample, the sampling interval, the signal sender
    // used to stop projects, the look for project markers with its time limit, and the reading of
    // the start-up volume's capacity (by default the volume holding the machine's root).
    struct Environment {
        std::function<Instant()> clock = Instant::now;
        std::chrono::milliseconds interval{1000};
        DevProjectsService::Terminate terminate = ProcessTerminator::terminate;
        DevProjectsService::MarkerLook markerLook = DevProjectsService::holdsMarker;
        std::chrono::milliseconds lookLimit = DevProjectsService::lookLimit;
        std::function<DiskCapacityService::Capacity()> capacity = {};
    };

    explicit SystemMonitor(QObject* parent = nullptr);
    SystemMonitor(Environment environment, QObject* parent = nullptr);
    ~SystemMonitor() override;

    // Samples at once and then every interval; later calls do nothing.
    void start();
    // Sends the projects' processes the terminate signal and returns the projects that could not be
    // signalled. Those signalled stay listed as stopping while their processes are there, and as
    // still running once they outlive the grace period; they leave the list when their processes end.
    std::vector<DevProject> stop(const std::vector<DevProject>& projects);

    const SystemMetrics& metrics() const { return metrics_; }
    const CPUDetail& cpu() const { return cpu_; }
    const MemoryDetail& memory() const { return memory_; }
    const DiskIO& disk() const { return disk_; }
    const NetworkSession& network() const { return network_; }
    const BatteryDetail& battery() const { return battery_; }
    const MeasuredFigures& measured() const { return measured_; }
    const std::vector<AppUsage>& apps() const { return apps_; }
    const std::vector<DevProject>& projects() const { return projects_; }
    // The start-up volume as the latest reading found it: zeros before the first and when it cannot
    // be read.
    const DiskCapacityService::Capacity& capacity() const { return capacity_; }
    const std::vector<MetricPoint>& cpuHistory() const { return cpuHistory_; }
    const std::vector<MetricPoint>& memoryHistory() const { return memoryHistory_; }
    const std::vector<MetricPoint>& networkHistory() const { return networkHistory_; }
    const std::vector<MetricPoint>& downloadHistory() const { return downloadHistory_; }
    const std::vector<MetricPoint>& uploadHistory() const { return uploadHistory_; }
    const std::vector<MetricPoint>& diskReadHistory() const { return diskReadHistory_; }
    const std::vector<MetricPoint>& diskWriteHistory() const { return diskWriteHistory_; }
    const std::vector<MetricPoint>& batteryHistory() const { return batteryHistory_; }
    // Completed samples.
    long long tick() const { return tick_; }
    // Whether a pass over the processes runs on the sampling thread now.
    bool processPassRunning() const { return processPassRunning_; }
    // Whether a reading of the capacity runs now.
    bool capacityReadingRunning() const { return capacityReadingRunning_; }

signals:
    void metricsChanged();
    void cpuChanged();
    void memoryChanged();
    void diskChanged();
    void networkChanged();
    void batteryChanged();
    void appsChanged();
    void projectsChanged();
    void capacityChanged();
    void cpuHistoryChanged();
    void memoryHistoryChanged();
    void networkHistoryChanged();
    void downloadHistoryChanged();
    void uploadHistoryChanged();
    void diskReadHistoryChanged();
    void diskWriteHistoryChanged();
    void batteryHistoryChanged();

private:
    // Which figures one sample changed, beyond those that change at every sample.
    struct Published {
        bool network = false;
        bool disk = false;
        bool memory = false;
        bool batteryHistory = false;
        bool battery = false;
    };
    // What one pass over the processes found, on the sampling thread.
    struct ProcessPass {
        Instant date;
        std::optional<AppUsagePass> apps;
        std::optional<std::vector<DevProject>> projects;  // only from the second pass on
    };
    // A stop the user asked for: the processes that had the signal, and the sample it came after.
    struct StopRequest {
        std::vector<ProcessIdentity> processes;
        Instant askedAt;
    };
    void sample();
    void publish(const Published& published);
    bool sampleDisk(Instant now);  // whether the rates were measured
    void startProcessPass(Instant now);
    void startCapacityReading();
    void applyProcessPass(ProcessPass& pass);
    // Marks the listed projects with where their stop stands, and forgets the stops that ended.
    void followStops(Instant now);
    static void append(std::vector<MetricPoint>& history, Instant now, double value);

    Environment environment_;
    SystemRoots roots_;
    ProcessorSampler processor_;
    MemorySampler memorySampler_;
    DiskStatistics diskStatistics_;
    NetworkStatistics networkStatistics_;
    BatterySampler batterySampler_;
    LoadAverage loadAverage_;
    AppUsageSampler appSampler_;
    DevProjectsService devProjects_;
    NetworkTraffic networkTraffic_;
    CounterRates diskRates_;

    SystemMetrics metrics_;
    CPUDetail cpu_;
    MemoryDetail memory_;
    DiskIO disk_;
    NetworkSession network_;
    BatteryDetail battery_;
    MeasuredFigures measured_;
    std::vector<AppUsage> apps_;
    std::vector<DevProject> projects_;
    DiskCapacityService::Capacity capacity_;
    std::vector<MetricPoint> cpuHistory_;
    std::vector<MetricPoint> memoryHistory_;
    std::vector<MetricPoint> networkHistory_;
    std::vector<MetricPoint> downloadHistory_;
    std::vector<MetricPoint> uploadHistory_;
    std::vector<MetricPoint> diskReadHistory_;
    std::vector<MetricPoint> diskWriteHistory_;
    std::vector<MetricPoint> batteryHistory_;

    std::unordered_map<std::string, StopRequest> stops_;  // by project id
    Instant lastSampleAt_;

    QTimer* timer_ = nullptr;
    bool processPassRunning_ = false;
    bool capacityReadingRunning_ = false;
    long long tick_ = 0;
    long long processorReadings_ = 0;
    long long cpuSampleCount_ = 0;  // measured processor uses in the session figures
    // Last, so that they are destroyed first: their threads end before the samplers they use go.
    BackgroundJobs capacityReading_{this, 1};
    BackgroundJobs sampling_{this, 1};
};
