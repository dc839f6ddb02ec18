#pragma once

#include "Views/Monitor/MonitorPage.h"

class AppList;
class Pill;
class StatTile;
class TopAppTile;
class TrendHero;

// The processor tab: use now with its trend, the session average and load, the user and system
// split, the cores, the busiest application and the applications by processor share.
class ProcessorPage : public MonitorPage {
    Q_OBJECT
public:
    explicit ProcessorPage(MonitorPageContext context, QWidget* parent = nullptr);

    void refresh() override;

    TrendHero* hero() const { return hero_; }
    StatTile* userTile() const { return user_; }
    StatTile* systemTile() const { return system_; }
    StatTile* coresTile() const { return cores_; }
    Pill* performancePill() const { return performance_; }
    Pill* efficiencyPill() const { return efficiency_; }
    TopAppTile* topApp() const { return topApp_; }
    AppList* list() const { return list_; }

private:
    TrendHero* hero_;
    StatTile* user_;
    StatTile* system_;
    StatTile* cores_;
    Pill* performance_;
    Pill* efficiency_;
    TopAppTile* topApp_;
    AppList* list_;
};
