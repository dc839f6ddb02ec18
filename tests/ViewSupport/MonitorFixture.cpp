#include "ViewSupport/MonitorFixture.h"

#include <QSignalSpy>
#include <QTimer>

#include <cmath>

namespace {

void writeDisk(FakeMachine& machine, std::uint64_t sectorsWritten) {
    machine.write("proc/diskstats", "   8       0 sda 1 0 4000 0 1 0 " + std::to_string(sectorsWritten) + " 0 0 0 0 0 0 0 0 0 0\n");
}

void writeNetwork(FakeMachine& machine, std::uint64_t received) {
    machine.write("proc/net/dev", "Inter-|\n face |\n    lo: 99999 0 0 0 0 0 0 0 99999 0 0 0 0 0 0 0\n  eth0: " + std::to_string(received) +
                                      " 0 0 0 0 0 0 0 " + std::to_string(received / 8) + " 0 0 0 0 0 0 0\n");
}

}  // namespace

MonitorFixture::MonitorFixture() {
    machine.write("proc/meminfo", "MemTotal: 16000000 kB\nMemFree: 4000000 kB\nBuffers: 100000 kB\nCached: 3000000 kB\nAnonPages: 7000000 kB\n"
                                  "Shmem: 100000 kB\nSlab: 600000 kB\nSwapTotal: 0 kB\nSwapFree: 0 kB\n");
    machine.tree.folder("sys/block/sda/device");
    writeDisk(machine, sectorsWritten_);
    writeNetwork(machine, received_);
    machine.cpuTicks(busyTicks_, 0, 0, idleTicks_);
    machine.write("home/storefront/package.json", "{}");
    machine.process({.pid = 101, .comm = "firefox", .exe = "/usr/lib/firefox/firefox", .utime = 10, .startTicks = 5, .rssPages = 200000, .writeBytes = 10});
    machine.process({.pid = 102, .comm = "code", .exe = "/usr/share/code/code", .utime = 10, .startTicks = 6, .rssPages = 150000});
    machine.process({.pid = 103, .comm = "Xorg", .exe = "/usr/lib/xorg/Xorg", .utime = 10, .startTicks = 2, .rssPages = 30000});
    machine.process({.pid = 104, .comm = "node", .exe = "/usr/bin/node", .cwd = (machine.home() / "storefront").native(), .utime = 10, .startTicks = 9,
                     .rssPages = 60000, .socketInodes = {7001}});
    machine.tcp({{5173, "0A", 7001}});
}

std::unique_ptr<SystemMonitor> MonitorFixture::makeMonitor(DevProjectsService::Terminate terminate) {
    SystemMonitor::Environment environment;
    environment.interval = std::chrono::hours(1);  // samples come from sample() alone
    environment.terminate = std::move(terminate);
    return std::make_unique<SystemMonitor>(environment);
}

void MonitorFixture::sample(SystemMonitor& monitor, double cpu, std::uint64_t downBytes, std::uint64_t writtenBytes) {
    const std::uint64_t busy = std::uint64_t(std::llround(cpu * 1000)), idle = 1000 - busy;
    busyTicks_ += busy;
    idleTicks_ += idle;
    received_ += downBytes;
    sectorsWritten_ += writtenBytes / 512;
    utime_ += busy / 20;
    machine.cpuTicks(busyTicks_, 0, 0, idleTicks_);
    writeNetwork(machine, received_);
    writeDisk(machine, sectorsWritten_);
    machine.process({.pid = 101, .comm = "firefox", .exe = "/usr/lib/firefox/firefox", .utime = utime_, .startTicks = 5, .rssPages = 200000,
                     .writeBytes = sectorsWritten_ * 256});
    if (monitor.tick() == 0) {
        monitor.start();
        return;
    }
    // One firing of the monitor's own timer, brought forward.
    auto* timer = monitor.findChild<QTimer*>();
    QSignalSpy sampled(&monitor, &SystemMonitor::metricsChanged);
    timer->setInterval(0);
    sampled.wait(5000);
    timer->setInterval(std::chrono::hours(1));
}

void MonitorFixture::battery(int percent, bool charging) {
    machine.write("sys/class/power_supply/BAT0/uevent", std::string("POWER_SUPPLY_TYPE=Battery\nPOWER_SUPPLY_STATUS=") +
                                                             (charging ? "Charging" : "Discharging") + "\nPOWER_SUPPLY_CAPACITY=" +
                                                             std::to_string(percent) + "\nPOWER_SUPPLY_CYCLE_COUNT=312\n");
}
