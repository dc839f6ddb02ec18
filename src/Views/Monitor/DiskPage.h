#pragma once

#include "Views/Monitor/MonitorPage.h"

class AppList;
class CapacityBar;
class StatTile;
class TopAppTile;
class TrendHero;

// The disk tab: free space of the start-up volume with the trend of writes, reading and writing
// now, the space used beside the blocks kept for root, the application writing most and the
// applications by writes. The volume's figures are the monitor's latest reading.
class DiskPage : public MonitorPage {
    Q_OBJECT
public:
    explicit DiskPage(MonitorPageContext context, QWidget* parent = nullptr);

    void refresh() override;

    TrendHero* hero() const { return hero_; }
    StatTile* readingTile() const { return reading_; }
    StatTile* writingTile() const { return writing_; }
    StatTile* usedTile() const { return used_; }
    CapacityBar* usedBar() const { return usedBar_; }
    TopAppTile* topApp() const { return topApp_; }
    AppList* list() const { return list_; }

private:
    TrendHero* hero_;
    StatTile* reading_;
    StatTile* writing_;
    StatTile* used_;
    CapacityBar* usedBar_;
    TopAppTile* topApp_;
    AppList* list_;
};
