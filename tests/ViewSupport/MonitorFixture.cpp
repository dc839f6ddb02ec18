#include "ViewSupport/MonitorFixture.h"

#include <QCoreApplication>
#include <QTimer>

#include <cmath>

namespace {

struct ScriptedApp {
    int pid;
    const char* comm;
    const char* exe;
    std::uint64_t rssPages;
    int ticksPerSecond;  // processor time it takes
    std::uint64_t writesPerSecond;
};

const ScriptedApp apps[] = {
    {100, "firefox", "/usr/lib/firefox/firefox", 180'000, 40, 300'000},
    {101, "Web Content", "/usr/lib/firefox/firefox", 90'000, 22, 0},
    {200, "code", "/usr/share/code/code", 150'000, 18, 120'000},
    {300, "gnome-shell", "/usr/bin/gnome-shell", 70'000, 9, 20'000},
    {400, "python3", "/usr/bin/python3.11", 12'000, 2, 0},
    {500, "Xorg", "/usr/lib/xorg/Xorg", 30'000, 6, 0},
    {600, "pipewire", "/usr/bin/pipewire", 4'000, 1, 0},
};

}  // namespace

MonitorFixture::MonitorFixture(bool battery, AppServices services) : roots_(machine.tree.path()) {
    machine.write("proc/meminfo", "MemTotal: 16384000 kB\nMemFree: 2400000 kB\nMemAvailable: 9000000 kB\nBuffers: 300000 kB\n"
                                  "Cached: 4200000 kB\nSwapCached: 0 kB\nActive: 0 kB\nAnonPages: 6100000 kB\nShmem: 200000 kB\n"
                                  "Slab: 600000 kB\nSReclaimable: 300000 kB\nKernelStack: 30000 kB\nPageTables: 90000 kB\n"
                                  "SwapTotal: 4000000 kB\nSwapFree: 3100000 kB\n");
    machine.write("proc/uptime", "273780.25 900000.00\n");
    machine.write("proc/cpuinfo", "processor\t: 0\nmodel name\t: Fixture CPU @ 3.00GHz\n");
    machine.tree.folder("sys/block/nvme0n1/device");
    machine.tree.file("usr/lib/firefox/firefox");
    machine.write("usr/share/applications/firefox.desktop", "[Desktop Entry]\nType=Application\nName=Firefox\nExec=/usr/lib/firefox/firefox %u\n"
                                                           "Icon=firefox\n");
    machine.write("usr/share/applications/code.desktop", "[Desktop Entry]\nType=Application\nName=Visual Studio Code\n"
                                                        "Exec=/usr/share/code/code %F\nStartupWMClass=Code\nIcon=vscode\n");
    if (battery)
        machine.write("sys/class/power_supply/BAT0/uevent",
                      "POWER_SUPPLY_NAME=BAT0\nPOWER_SUPPLY_TYPE=Battery\nPOWER_SUPPLY_STATUS=Discharging\nPOWER_SUPPLY_PRESENT=1\n"
                      "POWER_SUPPLY_CYCLE_COUNT=312\nPOWER_SUPPLY_VOLTAGE_NOW=12000000\nPOWER_SUPPLY_CURRENT_NOW=-1500000\n"
                      "POWER_SUPPLY_CHARGE_FULL_DESIGN=5000000\nPOWER_SUPPLY_CHARGE_FULL=4500000\nPOWER_SUPPLY_CHARGE_NOW=3100000\n"
                      "POWER_SUPPLY_CAPACITY=69\nPOWER_SUPPLY_TIME_TO_EMPTY_NOW=8100\n");
    writeCounters();

    SystemMonitor::Environment environment;
    environment.clock = [this] {
        Instant reading = next_;
        next_ = next_.addingSeconds(1);
        return reading;
    };
    // Never by itself: the test steps the monitor.
    environment.interval = std::chrono::hours(24);
    // Its processes are fake: a stop signals nothing on this machine.
    environment.terminate = [](const ProcessIdentity&) { return TerminationResult::signalled; };
    // Read on the monitor's own thread, while no step runs: a test sets it between steps.
    environment.capacity = [this] { return capacity; };
    services.monitor = std::make_unique<SystemMonitor>(environment);
    state_ = std::make_unique<AppState>(std::move(services));
}

void MonitorFixture::writeCounters() {
    // Loads that rise and fall from second to second, so charts and spark lines have a shape.
    const double wave = std::sin(second_ / 4.0);
    const std::uint64_t busy = std::uint64_t(30 + 18 * wave + (second_ % 5) * 4);  // of 100 ticks a second
    counters_.user += busy * 8 / 10;
    counters_.system += busy - busy * 8 / 10;
    counters_.idle += 100 - busy;
    counters_.received += std::uint64_t(1'400'000 + 900'000 * wave + (second_ % 3) * 350'000);
    counters_.sent += std::uint64_t(180'000 + 60'000 * std::cos(second_ / 3.0));
    counters_.sectorsRead += std::uint64_t(900 + (second_ % 4) * 700);
    counters_.sectorsWritten += std::uint64_t(2'400 + 1'600 * std::abs(wave));
    machine.cpuTicks(counters_.user, 0, counters_.system, counters_.idle);
    if (networkReadable)
        machine.write("proc/net/dev", "Inter-|\n face |\n    lo: 1 0 0 0 0 0 0 0 1 0 0 0 0 0 0 0\n  wlan0: " + std::to_string(counters_.received) +
                                          " 0 0 0 0 0 0 0 " + std::to_string(counters_.sent) + " 0 0 0 0 0 0 0\n");
    else
        std::filesystem::remove(machine.tree.path() / "proc/net/dev");
    machine.write("proc/diskstats", "   259       0 nvme0n1 1 0 " + std::to_string(counters_.sectorsRead) + " 0 1 0 " +
                                        std::to_string(counters_.sectorsWritten) + " 0 0 0 0 0 0 0 0 0 0\n");
    const std::uint64_t t = std::uint64_t(second_);
    for (const ScriptedApp& app : apps)
        machine.process({.pid = app.pid, .comm = app.comm, .exe = app.exe, .utime = 5'000 + t * std::uint64_t(app.ticksPerSecond),
                         .startTicks = std::uint64_t(app.pid), .rssPages = app.rssPages, .writeBytes = t * app.writesPerSecond});
}

void MonitorFixture::start() {
    monitor().start();
    waitForReadings();
}

void MonitorFixture::step(int steps) {
    auto* timer = monitor().findChild<QTimer*>();
    for (int i = 0; i < steps && timer; ++i) {
        second_ += 1;
        writeCounters();
        QMetaObject::invokeMethod(timer, "timeout");
        waitForReadings();
    }
}

void MonitorFixture::waitForReadings() {
    while (monitor().processPassRunning() || monitor().capacityReadingRunning()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}
