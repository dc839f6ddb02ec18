#pragma once

#include "Views/Monitor/MonitorPage.h"

class CardModifier;
class StatTile;
class ThinBar;
class TrendHero;

// The battery tab: the charge with its trend, the time left and the power draw, health, cycles
// and charging state; on a machine without a battery, a short note that this is a desktop.
class BatteryPage : public MonitorPage {
    Q_OBJECT
public:
    explicit BatteryPage(MonitorPageContext context, QWidget* parent = nullptr);

    void refresh() override;

    bool showsDesktopNote() const;
    TrendHero* hero() const { return hero_; }
    StatTile* healthTile() const { return health_; }
    ThinBar* healthBar() const { return healthBar_; }
    StatTile* cyclesTile() const { return cycles_; }
    StatTile* powerTile() const { return power_; }
    StatTile* statusTile() const { return status_; }

private:
    QWidget* battery_;
    CardModifier* desktopNote_;
    TrendHero* hero_;
    StatTile* health_;
    ThinBar* healthBar_;
    StatTile* cycles_;
    StatTile* power_;
    StatTile* status_;
};
