#include "Services/SystemMonitor.h"
#include "Support/FakeMachine.h"
#include "Support/FixtureRoots.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <cmath>
#include <optional>

#include <unistd.h>

namespace {

// Holds the looks into a folder until the test opens it, counting them; shared with the looks'
// threads, which may outlive the test's monitor.
struct LookGate {
    std::mutex mutex;
    std::condition_variable opened;
    bool open = false;
    std::atomic<int> looks{0};

    bool wait(const std::string& folder) {
        looks += 1;
        std::unique_lock lock(mutex);
        opened.wait(lock, [&] { return open; });
        return DevProjectsService::holdsMarker(folder);
    }
    void release() {
        {
            const std::lock_guard lock(mutex);
            open = true;
        }
        opened.notify_all();
    }
};

class SystemMonitorTest : public ::testing::Test {
protected:
    SystemMonitorTest() {
        machine.write("proc/meminfo", "MemTotal: 8000 kB\nMemFree: 1000 kB\nBuffers: 0 kB\nCached: 2000 kB\nAnonPages: 3000 kB\n");
        machine.tree.folder("sys/block/sda/device");
        network(1000, 500);
        disk(10, 20);
    }

    void network(std::uint64_t received, std::uint64_t sent) {
        machine.write("proc/net/dev", "Inter-|\n face |\n    lo: 99999 0 0 0 0 0 0 0 99999 0 0 0 0 0 0 0\n  eth0: " + std::to_string(received) +
                                          " 0 0 0 0 0 0 0 " + std::to_string(sent) + " 0 0 0 0 0 0 0\n");
    }
    void disk(std::uint64_t sectorsRead, std::uint64_t sectorsWritten) {
        machine.write("proc/diskstats", "   8       0 sda 1 0 " + std::to_string(sectorsRead) + " 0 1 0 " + std::to_string(sectorsWritten) +
                                            " 0 0 0 0 0 0 0 0 0 0\n");
    }
    void battery(int percent) {
        machine.write("sys/class/power_supply/BAT0/uevent", "POWER_SUPPLY_TYPE=Battery\nPOWER_SUPPLY_STATUS=Discharging\n"
                                                            "POWER_SUPPLY_CAPACITY=" + std::to_string(percent) + "\n");
    }

    // A clock that moves one second per sample unless a test sets the next reading.
    std::unique_ptr<SystemMonitor> makeMonitor(DevProjectsService::Terminate terminate = [](const ProcessIdentity&) {
        return TerminationResult::signalled;
    }) {
        SystemMonitor::Environment environment;
        environment.clock = [this] {
            Instant reading = next;
            next = next.addingSeconds(1);
            return reading;
        };
        environment.interval = std::chrono::hours(24);  // never by itself: the test runs the cycles
        environment.terminate = std::move(terminate);
        environment.markerLook = markerLook;
        environment.lookLimit = lookLimit;
        environment.capacity = capacity;
        auto monitor = std::make_unique<SystemMonitor>(environment);
        next = start;  // the first sample is taken at `start`
        return monitor;
    }

    // Starts the monitor and waits for its first pass over the processes.
    static void startMonitor(SystemMonitor& monitor) {
        monitor.start();
        waitForProcessPass(monitor);
    }
    // Runs exactly `cycles` more samples, each with its pass over the processes when it starts one.
    static void runCycles(SystemMonitor& monitor, long long cycles) {
        auto* timer = monitor.findChild<QTimer*>();
        ASSERT_TRUE(timer);
        for (long long cycle = 0; cycle < cycles; ++cycle) {
            QMetaObject::invokeMethod(timer, "timeout");
            waitForProcessPass(monitor);
        }
    }
    static void waitForProcessPass(SystemMonitor& monitor) {
        while (monitor.processPassRunning()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }

    DevProjectsService::MarkerLook markerLook = DevProjectsService::holdsMarker;
    std::chrono::milliseconds lookLimit = DevProjectsService::lookLimit;
    std::function<DiskCapacityService::Capacity()> capacity = [] { return DiskCapacityService::Capacity{1000, 300, 350}; };

    FakeMachine machine;
    FixtureRoots roots{machine.tree.path()};
    Instant start = Instant::fromReferenceSeconds(700000000);
    Instant next = start;
};

}  // namespace

TEST_F(SystemMonitorTest, StartingThreeTimesGivesOneTimerAndOneSample) {
    auto monitor = makeMonitor();
    EXPECT_EQ(monitor->metrics().memoryTotal, 8000u * 1024);  // read when made
    // The first sample is published at once; its pass over the processes, later.
    EXPECT_EQ(monitor->tick(), 0);
    QSignalSpy sampled(monitor.get(), &SystemMonitor::metricsChanged);
    QSignalSpy batteryRefreshed(monitor.get(), &SystemMonitor::batteryChanged);
    monitor->start();
    monitor->start();
    monitor->start();
    EXPECT_EQ(sampled.count(), 1);
    EXPECT_EQ(batteryRefreshed.count(), 1);
    EXPECT_EQ(monitor->tick(), 1);
    EXPECT_EQ(monitor->findChildren<QTimer*>().size(), 1);
    waitForProcessPass(*monitor);

    // The first sample has no baseline: every rate is 0, every history has one point, no battery history.
    EXPECT_EQ(monitor->metrics().cpuUsage, 0);
    EXPECT_EQ(monitor->metrics().networkDownPerSecond, 0u);
    EXPECT_EQ(monitor->metrics().memoryUsed, 5000u * 1024);
    EXPECT_FALSE(monitor->metrics().batteryPercent);
    EXPECT_FALSE(monitor->metrics().isCharging);
    for (const auto* history : {&monitor->cpuHistory(), &monitor->memoryHistory(), &monitor->networkHistory(), &monitor->downloadHistory(),
                                &monitor->uploadHistory(), &monitor->diskReadHistory(), &monitor->diskWriteHistory()})
        EXPECT_EQ(history->size(), 1u);
    EXPECT_DOUBLE_EQ(monitor->memoryHistory()[0].value, 5000.0 / 8000);
    EXPECT_TRUE(monitor->batteryHistory().empty());
    EXPECT_EQ(monitor->battery(), BatteryDetail{});
    EXPECT_EQ(monitor->network(), NetworkSession{});
    EXPECT_EQ(monitor->disk(), DiskIO{});
    EXPECT_DOUBLE_EQ(monitor->cpu().loadAverage, 0.5);
}

TEST_F(SystemMonitorTest, RatesTotalsAndPeaksAcrossCycles) {
    machine.cpuTicks(100, 0, 100, 800);
    auto monitor = makeMonitor();
    startMonitor(*monitor);
    // The first sample is only a baseline: none of its rates is a reading.
    EXPECT_EQ(monitor->measured(), (MeasuredFigures{.memory = true, .loadAverage = true}));

    machine.cpuTicks(160, 0, 120, 820);  // 80 of 100 ticks busy
    network(4000, 1500);
    disk(30, 60);
    runCycles(*monitor, 1);
    EXPECT_DOUBLE_EQ(monitor->metrics().cpuUsage, 0.8);
    EXPECT_DOUBLE_EQ(monitor->cpu().user, 0.6);
    EXPECT_EQ(monitor->metrics().networkDownPerSecond, 3000u);
    EXPECT_EQ(monitor->metrics().networkUpPerSecond, 1000u);
    EXPECT_EQ(monitor->network(), (NetworkSession{3000, 1000, 3000}));
    EXPECT_EQ(monitor->disk(), (DiskIO{20 * 512, 40 * 512, 40 * 512, 20 * 512}));
    EXPECT_DOUBLE_EQ(monitor->networkHistory().back().value, 4000);
    EXPECT_DOUBLE_EQ(monitor->diskWriteHistory().back().value, 40 * 512);
    EXPECT_EQ(monitor->cpuHistory().back().date, start.addingSeconds(1));
    // The baseline's zero is no use of the processor and stays out of the average.
    EXPECT_DOUBLE_EQ(monitor->cpu().sessionAverage, 0.8);
    EXPECT_DOUBLE_EQ(monitor->cpu().sessionPeak, 0.8);
    EXPECT_EQ(monitor->measured(), (MeasuredFigures{true, true, true, true, true, true, true, true, false}));

    // Totals that went down (an interface or disk went away): no traffic that second, totals keep.
    network(100, 100);
    disk(1, 1);
    runCycles(*monitor, 1);
    EXPECT_EQ(monitor->metrics().networkDownPerSecond, 0u);
    EXPECT_EQ(monitor->network(), (NetworkSession{3000, 1000, 3000}));
    EXPECT_EQ(monitor->disk().readPerSecond, 0u);
    EXPECT_EQ(monitor->disk().sessionRead, 20u * 512);
    EXPECT_EQ(monitor->metrics().cpuUsage, 0);  // no tick passed

    // A clock stepped back: the interval's floor of 0.2 s.
    next = start;
    network(300, 100);
    runCycles(*monitor, 1);
    EXPECT_EQ(monitor->metrics().networkDownPerSecond, 1000u);
    EXPECT_EQ(monitor->network().peakDown, 3000u);

    // Unreadable sources keep the last values; network counters that could not be read for a while
    // are no traffic, not everything since boot.
    std::filesystem::remove(machine.tree.path() / "proc/meminfo");
    std::filesystem::remove(machine.tree.path() / "proc/stat");
    std::filesystem::remove(machine.tree.path() / "proc/net/dev");
    runCycles(*monitor, 1);
    EXPECT_EQ(monitor->metrics().memoryTotal, 8000u * 1024);
    EXPECT_EQ(monitor->memory().app, 3000u * 1024);
    EXPECT_EQ(monitor->metrics().cpuUsage, 0);
    EXPECT_EQ(monitor->metrics().networkDownPerSecond, 0u);
    // ... and say so: those figures are unknown this second, not zero.
    EXPECT_FALSE(monitor->measured().cpu);
    EXPECT_FALSE(monitor->measured().memory);
    EXPECT_FALSE(monitor->measured().network);
    EXPECT_TRUE(monitor->measured().networkSession);
    EXPECT_TRUE(monitor->measured().cpuSession);
    network(500, 100);
    runCycles(*monitor, 1);
    EXPECT_EQ(monitor->metrics().networkDownPerSecond, 100u);  // 200 over the two seconds since the last reading
    EXPECT_EQ(monitor->network().downloaded, 3000u + 200 + 200);
}

TEST_F(SystemMonitorTest, HistoriesKeepTheNewest90Points) {
    battery(80);
    auto monitor = makeMonitor();
    startMonitor(*monitor);
    Uuid oldest = monitor->cpuHistory().front().id;
    EXPECT_DOUBLE_EQ(monitor->batteryHistory().front().value, 0.8);
    runCycles(*monitor, 90);
    EXPECT_EQ(monitor->tick(), 91);
    for (const auto* history : {&monitor->cpuHistory(), &monitor->memoryHistory(), &monitor->networkHistory(), &monitor->downloadHistory(),
                                &monitor->uploadHistory(), &monitor->diskReadHistory(), &monitor->diskWriteHistory(),
                                &monitor->batteryHistory()})
        EXPECT_EQ(history->size(), 90u);
    EXPECT_NE(monitor->cpuHistory().front().id, oldest);
    EXPECT_EQ(monitor->cpuHistory().front().date, start.addingSeconds(1));
    EXPECT_EQ(monitor->cpuHistory().back().date, start.addingSeconds(90));
}

// Pages that a forked process still shares with its parent count in both: however the processes
// add up, no application or project holds more than the machine has in use (5000 kB here).
TEST_F(SystemMonitorTest, NoApplicationOrProjectHoldsMoreThanIsInUse) {
    const std::uint64_t page = static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
    machine.write("home/web/package.json", "{}");
    for (int pid : {50, 52})
        machine.process({.pid = pid, .comm = "node", .exe = "/usr/bin/node", .cwd = (machine.home() / "web").native(), .startTicks = 9,
                         .rssPages = 3000 * 1024 / page});
    const std::uint64_t bashPages = 1000 * 1024 / page;
    machine.process({.pid = 51, .comm = "bash", .exe = "/usr/bin/bash", .startTicks = 9, .rssPages = bashPages});
    auto monitor = makeMonitor();
    startMonitor(*monitor);
    runCycles(*monitor, 2);
    ASSERT_EQ(monitor->metrics().memoryUsed, 5000u * 1024);
    auto row = [&](const std::string& id) {
        auto found = std::find_if(monitor->apps().begin(), monitor->apps().end(), [&](const AppUsage& app) { return app.id == id; });
        return found == monitor->apps().end() ? std::uint64_t(0) : found->memory;
    };
    EXPECT_EQ(row("node"), 5000u * 1024);
    EXPECT_EQ(row("bash"), bashPages * page);
    ASSERT_EQ(monitor->projects().size(), 1u);
    EXPECT_EQ(monitor->projects()[0].memory, 5000u * 1024);
}

TEST_F(SystemMonitorTest, ApplicationsAndProjectsEverySecondSample) {
    machine.write("home/web/package.json", "{}");
    machine.process({.pid = 50, .comm = "node", .exe = "/usr/bin/node", .cwd = (machine.home() / "web").native(), .startTicks = 9, .rssPages = 4});
    machine.process({.pid = 51, .comm = "bash", .exe = "/usr/bin/bash", .startTicks = 9});
    std::vector<ProcessIdentity> signalled;
    TerminationResult answer = TerminationResult::signalled;
    auto monitor = makeMonitor([&](const ProcessIdentity& process) {
        signalled.push_back(process);
        return answer;
    });
    QSignalSpy appsChanged(monitor.get(), &SystemMonitor::appsChanged);
    startMonitor(*monitor);
    EXPECT_EQ(monitor->apps().size(), 2u);  // the first pass already lists applications
    EXPECT_TRUE(monitor->projects().empty());  // but projects need a previous pass
    runCycles(*monitor, 1);
    EXPECT_EQ(appsChanged.count(), 1);  // not on odd samples
    runCycles(*monitor, 1);
    EXPECT_EQ(appsChanged.count(), 2);
    ASSERT_EQ(monitor->projects().size(), 1u);
    DevProject web = monitor->projects()[0];
    EXPECT_EQ(web.runtime, "node");

    // A failed stop is reported and the project stays as it was.
    answer = TerminationResult::failed;
    EXPECT_EQ(monitor->stop({web}).size(), 1u);
    ASSERT_EQ(monitor->projects().size(), 1u);
    EXPECT_EQ(monitor->projects()[0].stop, ProjectStop::none);
    EXPECT_EQ(signalled[0], (ProcessIdentity{50, 9, "/usr/bin/node"}));
}

// A server that ignores the terminate signal (the first process of its own namespace does) never
// leaves the list: stopping while its processes have the grace period, then still running; one
// whose processes end leaves at the next pass.
TEST_F(SystemMonitorTest, AStopThatDidNotStopKeepsTheRowAndSaysSo) {
    machine.write("home/web/package.json", "{}");
    machine.write("home/api/package.json", "{}");
    machine.process({.pid = 50, .comm = "node", .exe = "/usr/bin/node", .cwd = (machine.home() / "web").native(), .startTicks = 9, .rssPages = 4});
    machine.process({.pid = 60, .comm = "node", .exe = "/usr/bin/node", .cwd = (machine.home() / "api").native(), .startTicks = 9, .rssPages = 2});
    machine.process({.pid = 51, .comm = "bash", .exe = "/usr/bin/bash", .startTicks = 9});
    auto monitor = makeMonitor();
    startMonitor(*monitor);
    runCycles(*monitor, 2);
    ASSERT_EQ(monitor->projects().size(), 2u);
    auto listed = [&](const std::string& name) -> std::optional<DevProject> {
        for (const DevProject& project : monitor->projects())
            if (project.name == name) return project;
        return std::nullopt;
    };
    QSignalSpy changed(monitor.get(), &SystemMonitor::projectsChanged);
    EXPECT_TRUE(monitor->stop({*listed("web"), *listed("api")}).empty());
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(listed("web")->stop, ProjectStop::stopping);
    EXPECT_EQ(listed("api")->stop, ProjectStop::stopping);

    // api ends; web ignores the signal.
    machine.removeProcess(60);
    std::vector<ProjectStop> webStates;
    for (int cycle = 0; cycle < 6; ++cycle) {
        runCycles(*monitor, 1);
        ASSERT_TRUE(listed("web")) << "after cycle " << cycle;
        webStates.push_back(listed("web")->stop);
        EXPECT_EQ(listed("api").has_value(), cycle == 0) << "after cycle " << cycle;  // until the next pass
    }
    // Passes come every second sample: within the grace period the first, after it the next.
    EXPECT_EQ(webStates, (std::vector<ProjectStop>{ProjectStop::stopping, ProjectStop::stopping, ProjectStop::stopping,
                                                   ProjectStop::stillRunning, ProjectStop::stillRunning, ProjectStop::stillRunning}));

    // Asked again, it is stopping again; once its process ends, it leaves the list.
    EXPECT_TRUE(monitor->stop({*listed("web")}).empty());
    EXPECT_EQ(listed("web")->stop, ProjectStop::stopping);
    machine.removeProcess(50);
    runCycles(*monitor, 2);
    EXPECT_TRUE(monitor->projects().empty());

    // A new server in the same folder is a new run, not the one that was asked to stop.
    machine.process({.pid = 70, .comm = "node", .exe = "/usr/bin/node", .cwd = (machine.home() / "web").native(), .startTicks = 99, .rssPages = 4});
    runCycles(*monitor, 2);
    ASSERT_TRUE(listed("web"));
    EXPECT_EQ(listed("web")->stop, ProjectStop::none);

    // So is one that starts in the pass in which the stopped one ends, also under its id: the row
    // says neither that it is stopping nor that it still runs, then or later.
    EXPECT_TRUE(monitor->stop({*listed("web")}).empty());
    machine.removeProcess(70);
    machine.process({.pid = 71, .comm = "node", .exe = "/usr/bin/node", .cwd = (machine.home() / "web").native(), .startTicks = 120, .rssPages = 4});
    for (int cycle = 0; cycle < 6; ++cycle) {
        runCycles(*monitor, 1);
        ASSERT_TRUE(listed("web"));
        EXPECT_NE(listed("web")->stop, ProjectStop::stillRunning) << "after cycle " << cycle;
    }
    EXPECT_EQ(listed("web")->stop, ProjectStop::none);
    EXPECT_TRUE(monitor->stop({*listed("web")}).empty());
    machine.removeProcess(71);
    machine.process({.pid = 71, .comm = "node", .exe = "/usr/bin/node", .cwd = (machine.home() / "web").native(), .startTicks = 150, .rssPages = 4});
    runCycles(*monitor, 2);
    ASSERT_TRUE(listed("web"));
    EXPECT_EQ(listed("web")->stop, ProjectStop::none);
}

// A look into a project folder that takes as long as its file system does: the samples go on while
// the pass over the processes waits on the sampling thread, no second pass starts beside it, and
// the pass is published once the folder answers.
TEST_F(SystemMonitorTest, TheWindowNeverWaitsForThePassOverTheProcesses) {
    auto gate = std::make_shared<LookGate>();
    markerLook = [gate](const std::string& folder) { return gate->wait(folder); };
    lookLimit = std::chrono::hours(1);
    machine.write("home/web/package.json", "{}");
    machine.tree.folder("home/web/src");
    machine.process({.pid = 50, .comm = "node", .exe = "/usr/bin/node", .cwd = (machine.home() / "web/src").native(), .startTicks = 9});
    auto monitor = makeMonitor();
    startMonitor(*monitor);
    auto* timer = monitor->findChild<QTimer*>();
    QSignalSpy sampled(monitor.get(), &SystemMonitor::metricsChanged);
    QSignalSpy projects(monitor.get(), &SystemMonitor::projectsChanged);
    QSignalSpy apps(monitor.get(), &SystemMonitor::appsChanged);
    for (int cycle = 0; cycle < 8; ++cycle) {
        QMetaObject::invokeMethod(timer, "timeout");
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(sampled.count(), 8);
    EXPECT_EQ(monitor->tick(), 9);
    EXPECT_EQ(monitor->cpuHistory().size(), 9u);
    EXPECT_TRUE(monitor->processPassRunning());
    EXPECT_EQ(projects.count(), 0);
    while (gate->looks == 0) QCoreApplication::processEvents();  // the second pass reaches the folder
    gate->release();
    waitForProcessPass(*monitor);
    EXPECT_EQ(apps.count(), 1);  // the pass that waited, and none queued behind it
    EXPECT_EQ(projects.count(), 1);
    ASSERT_EQ(monitor->projects().size(), 1u);
    EXPECT_EQ(monitor->projects()[0].root, machine.home() / "web");
    EXPECT_TRUE(monitor->projects()[0].folderAnswers);
    EXPECT_EQ(gate->looks, 2);  // web/src, then web
}

// The start-up volume is read at every sample on a thread of the monitor's own, never the window's:
// a reading that waits (a volume that stops answering) holds no sample, no second reading queues
// behind it, and what it finds is published when it ends; the next sample reads the volume anew.
TEST_F(SystemMonitorTest, TheVolumeIsReadAtEverySampleAndNeverOnTheWindowsThread) {
    struct Volume {
        std::mutex mutex;
        std::condition_variable opened;
        bool open = false;
        DiskCapacityService::Capacity figures{1000, 300, 350};
        std::atomic<int> readings{0};
        std::atomic<bool> onTheWindowsThread{false};
    };
    auto volume = std::make_shared<Volume>();
    const QThread* windowThread = QThread::currentThread();
    capacity = [volume, windowThread] {
        volume->readings += 1;
        if (QThread::currentThread() == windowThread) volume->onTheWindowsThread = true;
        std::unique_lock lock(volume->mutex);
        volume->opened.wait(lock, [&] { return volume->open; });
        return volume->figures;
    };
    auto monitor = makeMonitor();
    QSignalSpy changed(monitor.get(), &SystemMonitor::capacityChanged);
    startMonitor(*monitor);
    runCycles(*monitor, 4);
    EXPECT_EQ(monitor->tick(), 5);
    EXPECT_TRUE(monitor->capacityReadingRunning());
    EXPECT_EQ(monitor->capacity(), DiskCapacityService::Capacity{});  // unknown until read
    {
        const std::lock_guard lock(volume->mutex);
        volume->open = true;
    }
    volume->opened.notify_all();
    while (monitor->capacityReadingRunning()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    EXPECT_EQ(volume->readings, 1);
    EXPECT_EQ(monitor->capacity(), (DiskCapacityService::Capacity{1000, 300, 350}));
    EXPECT_EQ(changed.count(), 1);

    // 50 written: the next sample has it. A sample that finds the same figures says nothing.
    {
        const std::lock_guard lock(volume->mutex);
        volume->figures = {1000, 250, 300};
    }
    runCycles(*monitor, 1);
    while (monitor->capacityReadingRunning()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    EXPECT_EQ(monitor->capacity(), (DiskCapacityService::Capacity{1000, 250, 300}));
    runCycles(*monitor, 1);
    while (monitor->capacityReadingRunning()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    EXPECT_EQ(volume->readings, 3);
    EXPECT_EQ(changed.count(), 2);
    EXPECT_FALSE(volume->onTheWindowsThread);
}

// A project folder on a file system that stops answering: the look for its markers waits, the
// sampling goes on, and the project is listed as its working folder, saying that it does not answer.
// The look is tried again only once the silent one has ended.
TEST_F(SystemMonitorTest, AFolderThatDoesNotAnswerHoldsNothingButItsOwnRow) {
    auto gate = std::make_shared<LookGate>();
    const std::string silent = (machine.home() / "remote").native();
    markerLook = [gate, silent](const std::string& folder) {
        return folder.rfind(silent, 0) == 0 ? gate->wait(folder) : DevProjectsService::holdsMarker(folder);
    };
    machine.write("home/web/package.json", "{}");
    machine.write("home/remote/package.json", "{}");
    machine.tree.folder("home/remote/src");
    machine.process({.pid = 50, .comm = "node", .exe = "/usr/bin/node", .cwd = (machine.home() / "web").native(), .startTicks = 9, .rssPages = 4});
    machine.process({.pid = 60, .comm = "python3", .exe = "/usr/bin/python3", .cwd = (machine.home() / "remote/src").native(), .startTicks = 9});
    auto monitor = makeMonitor();
    startMonitor(*monitor);
    // Every cycle completes, its pass over the processes too, while the look stays silent.
    runCycles(*monitor, 6);
    EXPECT_EQ(monitor->tick(), 7);
    ASSERT_EQ(monitor->projects().size(), 2u);
    const DevProject* remote = nullptr;
    for (const DevProject& project : monitor->projects())
        if (project.runtime == "python") remote = &project;
    ASSERT_TRUE(remote);
    EXPECT_FALSE(remote->folderAnswers);
    EXPECT_EQ(remote->root, machine.home() / "remote/src");
    EXPECT_EQ(gate->looks, 1);  // asked once, not at every pass
    EXPECT_TRUE(std::any_of(monitor->projects().begin(), monitor->projects().end(),
                            [](const DevProject& project) { return project.name == "web" && project.folderAnswers; }));

    // It answers again: the next pass finds its project folder.
    gate->release();
    // The silent look ends on its own thread, at some pass after this one.
    auto remoteNow = [&]() -> const DevProject* {
        for (const DevProject& project : monitor->projects())
            if (project.runtime == "python") return &project;
        return nullptr;
    };
    for (int cycle = 0; cycle < 1000 && remoteNow() && !remoteNow()->folderAnswers; ++cycle) runCycles(*monitor, 2);
    remote = remoteNow();
    ASSERT_TRUE(remote);
    EXPECT_TRUE(remote->folderAnswers);
    EXPECT_EQ(remote->root, machine.home() / "remote");
}

// An interface that arrives carrying traffic (moved in from another namespace) adds nothing on the
// reading that first sees it; from then on it counts like the others.
TEST_F(SystemMonitorTest, AnInterfaceSeenForTheFirstTimeAddsNothing) {
    auto monitor = makeMonitor();
    startMonitor(*monitor);
    network(4000, 1500);
    runCycles(*monitor, 1);
    ASSERT_EQ(monitor->network().downloaded, 3000u);
    const std::string gib = std::to_string(1ull << 30);
    machine.write("proc/net/dev", "Inter-|\n face |\n  eth0: 5000 0 0 0 0 0 0 0 1700 0 0 0 0 0 0 0\n"
                                  "  veth9: " + gib + " 0 0 0 0 0 0 0 " + gib + " 0 0 0 0 0 0 0\n");
    runCycles(*monitor, 1);
    EXPECT_EQ(monitor->metrics().networkDownPerSecond, 1000u);
    EXPECT_EQ(monitor->metrics().networkUpPerSecond, 200u);
    EXPECT_EQ(monitor->network().downloaded, 4000u);
    EXPECT_EQ(monitor->network().peakDown, 3000u);
    machine.write("proc/net/dev", "Inter-|\n face |\n  eth0: 5000 0 0 0 0 0 0 0 1700 0 0 0 0 0 0 0\n"
                                  "  veth9: " + std::to_string((1ull << 30) + 600) + " 0 0 0 0 0 0 0 " + gib + " 0 0 0 0 0 0 0\n");
    runCycles(*monitor, 1);
    EXPECT_EQ(monitor->metrics().networkDownPerSecond, 600u);
    EXPECT_EQ(monitor->network().downloaded, 4600u);
}

TEST_F(SystemMonitorTest, EverySignalOfASampleSeesTheWholeSample) {
    machine.process({.pid = 51, .comm = "bash", .exe = "/usr/bin/bash", .startTicks = 9});
    auto monitor = makeMonitor();
    // What each signal's receiver reads, against the samples the clock has handed out so far (one
    // reading a sample, a second apart): the histories' length and newest point, the tick and the
    // applications' pass.
    struct Seen {
        long long samples;
        std::size_t cpuPoints, writePoints;
        std::optional<Instant> newestPoint;
        long long tick;
        bool appRates;
        bool apps;  // the applications' own signal, which comes when their pass ends
    };
    std::vector<Seen> seen;
    auto record = [&](bool apps) {
        const auto& cpu = monitor->cpuHistory();
        seen.push_back({std::llround(next.secondsSince(start)), cpu.size(), monitor->diskWriteHistory().size(),
                        cpu.empty() ? std::nullopt : std::optional(cpu.back().date), monitor->tick(), monitor->measured().appRates, apps});
    };
    for (auto signal : {&SystemMonitor::metricsChanged, &SystemMonitor::cpuChanged, &SystemMonitor::memoryChanged, &SystemMonitor::diskChanged,
                        &SystemMonitor::networkChanged, &SystemMonitor::batteryChanged, &SystemMonitor::cpuHistoryChanged,
                        &SystemMonitor::diskWriteHistoryChanged})
        QObject::connect(monitor.get(), signal, [&] { record(false); });
    QObject::connect(monitor.get(), &SystemMonitor::appsChanged, [&] { record(true); });
    startMonitor(*monitor);
    disk(30, 60);
    network(4000, 1500);
    runCycles(*monitor, 2);
    ASSERT_FALSE(seen.empty());
    for (const Seen& s : seen) {
        // The sample's point is in, and the tick counted, before any of its signals.
        EXPECT_EQ(s.cpuPoints, std::size_t(s.samples));
        EXPECT_EQ(s.writePoints, std::size_t(s.samples));
        EXPECT_EQ(s.newestPoint, start.addingSeconds(double(s.samples - 1)));
        EXPECT_EQ(s.tick, s.samples);
        // The second pass over the processes is the third sample's, published after that sample's signals.
        EXPECT_EQ(s.appRates, s.apps && s.samples == 3);
    }
    EXPECT_EQ(std::count_if(seen.begin(), seen.end(), [](const Seen& s) { return s.apps; }), 2);
    EXPECT_EQ(seen.back().samples, 3);
}
