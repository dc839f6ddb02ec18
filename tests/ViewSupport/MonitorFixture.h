#pragma once

#include "Services/AppState.h"
#include "Services/SystemMonitor.h"
#include "Support/FakeMachine.h"
#include "Support/FixtureRoots.h"

#include <memory>

// A fake machine with the app's state and a monitor over it that samples only when a test says:
// a desktop (or, with `battery`, a laptop on battery) running a few installed applications, whose
// counters a script moves on at every step, on a start-up volume of `capacity`. The state's other
// services are `services`.
class MonitorFixture {
public:
    explicit MonitorFixture(bool battery = false, AppServices services = {});

    AppState& state() { return *state_; }
    SystemMonitor& monitor() { return *state_->monitor(); }

    // Starts the monitor: its first sample, a baseline.
    void start();
    // Moves every counter on by one scripted second and samples once per step; each step ends when
    // the sample's pass over the processes, if it started one, and its reading of the volume have been
    // published.
    void step(int steps = 1);
    void waitForReadings();

    FakeMachine machine;
    bool networkReadable = true;  // false: the steps leave /proc/net/dev out
    // What the volume reads at the next sample: 512 GB, 180 GB of it available and 25.6 GB kept for root.
    DiskCapacityService::Capacity capacity{512'000'000'000, 180'000'000'000, 205'600'000'000};

private:
    void writeCounters();

    FixtureRoots roots_;
    Instant next_ = Instant::fromReferenceSeconds(800'000'000);
    int second_ = 0;
    struct Counters {
        std::uint64_t user = 40'000, system = 9'000, idle = 300'000;
        std::uint64_t received = 9'000'000'000, sent = 700'000'000;
        std::uint64_t sectorsRead = 5'000'000, sectorsWritten = 9'000'000;
    } counters_;
    std::unique_ptr<AppState> state_;
};
