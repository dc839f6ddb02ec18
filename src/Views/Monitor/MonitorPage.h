#pragma once

#include "Views/Monitor/MonitorTab.h"

#include <QWidget>

#include <functional>

class SystemMonitor;

// What every page of the monitor screen reads: the monitor, and the way to another tab.
struct MonitorPageContext {
    const SystemMonitor& monitor;
    std::function<void(MonitorTab)> select;
};

// One tab's page. Built once when its tab is chosen; refresh() sets its figures from the latest
// sample without building widgets again.
class MonitorPage : public QWidget {
    Q_OBJECT
public:
    explicit MonitorPage(MonitorPageContext context, QWidget* parent = nullptr) : QWidget(parent), context_(std::move(context)) {}

    virtual void refresh() = 0;

protected:
    const SystemMonitor& monitor() const { return context_.monitor; }
    void select(MonitorTab tab) const {
        if (context_.select) context_.select(tab);
    }

private:
    MonitorPageContext context_;
};
