#pragma once

#include "Foundation/Instant.h"
#include "Models/DevProject.h"

#include <QWidget>

#include <functional>
#include <vector>

class ProjectStopConfirmation;
class QVBoxLayout;
class SystemMonitor;

// The monitor screen's projects tab: the idle-servers banner when there are idle servers, four
// tiles (projects, memory, ports, idle) and a card with a row per project or the empty state.
// Rebuilt whenever the monitor republishes its projects; stops go through the confirmation.
class ProjectsPage : public QWidget {
    Q_OBJECT
public:
    using Clock = std::function<Instant()>;

    ProjectsPage(SystemMonitor* monitor, ProjectStopConfirmation* confirmation, Clock clock = Instant::now, QWidget* parent = nullptr);

    // Shows the monitor's projects as of the clock.
    void refresh();
    // Shows the given projects as of `now`.
    void present(const std::vector<DevProject>& projects, Instant now);

private:
    SystemMonitor* monitor_;
    ProjectStopConfirmation* confirmation_;
    Clock clock_;
    QVBoxLayout* layout_;
    QWidget* content_ = nullptr;
};
