#include "Services/SystemMonitor.h"
#include "Support/FakeMachine.h"
#include "Support/FixtureRoots.h"

#include <QSignalSpy>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>

#include <unistd.h>

namespace {

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
        environment.interval = std::chrono::milliseconds(2);
        environment.terminate = std::move(terminate);
        auto monitor = std::make_unique<SystemMonitor>(environment);
        next = start;  // the first sample is taken at `start`
        return monitor;
    }

    // Lets the timer run exactly `cycles` more samples.
    static void runCycles(SystemMonitor& monitor, long long cycles) {
        long long target = monitor.tick() + cycles;
        while (monitor.tick() < target) {
            QSignalSpy sampled(&monitor, &SystemMonitor::metricsChanged);
            ASSERT_TRUE(sampled.wait(5000));
        }
    }

    FakeMachine machine;
    FixtureRoots roots{machine.tree.path()};
    Instant start = Instant::fromReferenceSeconds(700000000);
    Instant next = start;
};

}  // namespace

TEST_F(SystemMonitorTest, StartingThreeTimesGivesOneTimerAndOneSample) {
    auto monitor = makeMonitor();
    EXPECT_EQ(monitor->metrics().memoryTotal, 8000u * 1024);  // read when made
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
    monitor->start();
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
    monitor->start();
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
    monitor->start();
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
    monitor->start();
    EXPECT_EQ(monitor->apps().size(), 2u);  // the first pass already lists applications
    EXPECT_TRUE(monitor->projects().empty());  // but projects need a previous pass
    runCycles(*monitor, 1);
    EXPECT_EQ(appsChanged.count(), 1);  // not on odd samples
    runCycles(*monitor, 1);
    EXPECT_EQ(appsChanged.count(), 2);
    ASSERT_EQ(monitor->projects().size(), 1u);
    DevProject web = monitor->projects()[0];
    EXPECT_EQ(web.runtime, "node");

    // A failed stop is reported and the project stays; a stop that went through removes it at once.
    answer = TerminationResult::failed;
    EXPECT_EQ(monitor->stop({web}).size(), 1u);
    EXPECT_EQ(monitor->projects().size(), 1u);
    answer = TerminationResult::signalled;
    EXPECT_TRUE(monitor->stop({web}).empty());
    EXPECT_TRUE(monitor->projects().empty());
    EXPECT_EQ(signalled.size(), 2u);
    EXPECT_EQ(signalled[0], (ProcessIdentity{50, 9, "/usr/bin/node"}));

    // The process survived the signal: the next refresh brings the project back.
    runCycles(*monitor, 2);
    EXPECT_EQ(monitor->projects().size(), 1u);
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
    };
    std::vector<Seen> seen;
    auto record = [&] {
        const auto& cpu = monitor->cpuHistory();
        seen.push_back({std::llround(next.secondsSince(start)), cpu.size(), monitor->diskWriteHistory().size(),
                        cpu.empty() ? std::nullopt : std::optional(cpu.back().date), monitor->tick(), monitor->measured().appRates});
    };
    for (auto signal : {&SystemMonitor::metricsChanged, &SystemMonitor::cpuChanged, &SystemMonitor::memoryChanged, &SystemMonitor::diskChanged,
                        &SystemMonitor::networkChanged, &SystemMonitor::appsChanged, &SystemMonitor::batteryChanged, &SystemMonitor::cpuHistoryChanged,
                        &SystemMonitor::diskWriteHistoryChanged})
        QObject::connect(monitor.get(), signal, record);
    monitor->start();
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
        EXPECT_EQ(s.appRates, s.samples == 3);  // the second pass over the processes, before any of the third sample's signals
    }
    EXPECT_EQ(seen.back().samples, 3);
}
