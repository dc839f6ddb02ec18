#pragma once

#include "Views/Monitor/MonitorPage.h"

#include <cstdint>

class AppList;
class StatTile;
class ThinBar;
class TopAppTile;
class TrendHero;

// The memory tab: memory in use of the total with its trend and the pressure, free memory and
// swap, application, wired and compressed memory with their shares, the largest application and
// the applications by memory.
class MemoryPage : public MonitorPage {
    Q_OBJECT
public:
    explicit MemoryPage(MonitorPageContext context, QWidget* parent = nullptr);

    void refresh() override;

    TrendHero* hero() const { return hero_; }
    StatTile* appTile() const { return tiles_[0].tile; }
    StatTile* wiredTile() const { return tiles_[1].tile; }
    StatTile* compressedTile() const { return tiles_[2].tile; }
    TopAppTile* topApp() const { return topApp_; }
    AppList* list() const { return list_; }

private:
    struct MemoryTile {
        StatTile* tile;
        ThinBar* bar;
    };
    MemoryTile memoryTile(const QString& title, const QString& symbol);
    void setTile(const MemoryTile& tile, std::uint64_t bytes, bool known);

    TrendHero* hero_;
    MemoryTile tiles_[3];
    TopAppTile* topApp_;
    AppList* list_;
};
