#pragma once

#include "Services/DiskCapacityService.h"

#include <QWidget>

#include <functional>

class AppState;
class MonitorContent;

// The monitor section: measures the start-up volume once, shows the monitor's content on the
// overview tab, and starts the monitor when shown (which does nothing once it runs). It never
// stops the monitor.
class MonitorView : public QWidget {
    Q_OBJECT
public:
    using CapacitySource = std::function<DiskCapacityService::Capacity()>;

    explicit MonitorView(AppState& state, CapacitySource capacity = {}, QWidget* parent = nullptr);

    MonitorContent* content() const { return content_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    AppState& state_;
    MonitorContent* content_ = nullptr;
};
