#pragma once

#include "Services/SystemMonitor.h"
#include "Support/FakeMachine.h"
#include "Support/FixtureRoots.h"

#include <memory>

// A system monitor over a fake machine whose counters the test scripts sample by sample: a few
// applications, a developer server in a project folder, 16 GB of memory, a disk and a network card.
class MonitorFixture {
public:
    MonitorFixture();

    // A monitor that samples only when sample() asks, whose stops are answered by `terminate`.
    std::unique_ptr<SystemMonitor> makeMonitor(DevProjectsService::Terminate terminate = [](const ProcessIdentity&) {
        return TerminationResult::signalled;
    });

    // Moves the counters by one interval (processor busy `cpu` of it, `downBytes` received,
    // `writtenBytes` written) and waits for the monitor's next sample. Starts the monitor if needed.
    void sample(SystemMonitor& monitor, double cpu, std::uint64_t downBytes = 250'000, std::uint64_t writtenBytes = 1'000'000);

    void battery(int percent, bool charging);

    FakeMachine machine;
    FixtureRoots roots{machine.tree.path()};

private:
    std::uint64_t busyTicks_ = 1000, idleTicks_ = 1000, received_ = 1'000'000, sectorsWritten_ = 1000;
    std::uint64_t utime_ = 10;
};
