#pragma once

#include "App/MenuBarPanel/PanelTab.h"
#include "Foundation/Instant.h"
#include "Services/DiskCapacityService.h"

#include <functional>

class AppState;
class DockerPanelModel;
class ProjectStopConfirmation;
class SystemMonitor;

// What the panel's pages read and call: the state object and its monitor, the start-up volume's
// capacity (asked afresh at each call), the clock, and the panel's own actions.
struct PanelContext {
    AppState& state;
    SystemMonitor* monitor;
    std::function<DiskCapacityService::Capacity()> capacity;
    std::function<Instant()> clock;
    std::function<void(PanelTab)> selectTab;  // stores the tab, as a tap in the tab bar does
    std::function<void()> openMain;  // brings the main window forward
    ProjectStopConfirmation* stopConfirmation;
    DockerPanelModel* docker;
};
