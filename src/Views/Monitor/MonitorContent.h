#pragma once

#include "Models/MetricPoint.h"
#include "Models/AppUsage.h"
#include "Models/DevProject.h"
#include "Views/Monitor/MonitorTab.h"

#include <QPointer>
#include <QWidget>

#include <vector>

class FadingStack;
class MonitorPage;
class Pill;
class PillTabBar;
class ProjectStopConfirmation;
class SystemMonitor;

// The monitor screen's content: the tab bar with the privacy note, the selected tab's page in a
// scrolling area over the canvas, and the stop confirmation of the projects tab. The shown page
// takes every sample the monitor publishes, once per sample however many signals it sends.
class MonitorContent : public QWidget {
    Q_OBJECT
public:
    explicit MonitorContent(SystemMonitor& monitor, QWidget* parent = nullptr);

    MonitorTab tab() const { return tab_; }
    void setTab(MonitorTab tab);
    // The shown page of the figures tabs; null on the projects tab.
    MonitorPage* page() const { return page_; }
    QWidget* shownPage() const;
    ProjectStopConfirmation* stopConfirmation() const { return stopConfirmation_; }
    PillTabBar* tabBar() const { return tabBar_; }

    // Processes over every application row; 0 without rows.
    static long long processCount(const std::vector<AppUsage>& apps);
    static std::vector<double> values(const std::vector<MetricPoint>& points);

    // Sets the figures of the shown page from the monitor now (a sample's signals ask for this once).
    void refresh();

private:
    void scheduleRefresh();
    QWidget* makePage(MonitorTab tab);

    QPointer<SystemMonitor> monitor_;
    MonitorTab tab_ = MonitorTab::overview;
    ProjectStopConfirmation* stopConfirmation_;
    PillTabBar* tabBar_;
    FadingStack* pages_;
    MonitorPage* page_ = nullptr;
    bool refreshPending_ = false;
};
