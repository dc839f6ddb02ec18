#pragma once

#include "Services/AppState.h"
#include "ViewSupport/MonitorFixture.h"

#include <memory>

// The state of a user who has been through every section: a scan of a home whose folders have long
// names, every tool's list filled, applications with long names and versions and the leftovers of
// one of them, a storage history, and a laptop's monitor with developer servers running. Every
// service answers at once, so a screen that loads when shown finds its list again. Made for
// looking at whole windows and checking that their texts fit.
class LivedInState {
public:
    LivedInState();
    ~LivedInState();

    AppState& state() { return machine_->state(); }
    SystemMonitor& monitor() { return machine_->monitor(); }

    // The user's own names shown on one line: folders, files, applications and their versions.
    std::vector<QString> userNames() const;

private:
    std::unique_ptr<MonitorFixture> machine_;
};
