#pragma once

#include "App/MenuBarPanel/PanelContext.h"
#include "App/MenuBarPanel/PanelPage.h"

#include <vector>

class BarSparkline;
class DonutChart;
class FigureAndUnit;
class PanelCardButton;
class TextLabel;

// The panel's first page: how full the start-up volume is (a shortcut to the disk tab), live tiles
// for processor, memory and download (shortcuts to their tabs) and three quick actions that start
// work in the main window.
class PanelOverviewPage : public PanelPage {
    Q_OBJECT
public:
    PanelOverviewPage(const PanelContext& context, QWidget* parent = nullptr);

    void refresh() override;

    PanelCardButton* storageCard() const { return storageCard_; }
    PanelCardButton* tile(PanelTab tab) const;
    BarSparkline* tileBars(PanelTab tab) const;
    PanelCardButton* scanAction() const { return scanAction_; }
    PanelCardButton* searchAction() const { return searchAction_; }
    PanelCardButton* cleanAction() const { return cleanAction_; }
    DonutChart* donut() const { return donut_; }
    TextLabel* activity() const { return activity_; }

    // "↓ 1.2 MB/s   ↑ 3 KB/s": the start-up disk's reads and writes.
    static QString activityText(std::uint64_t readPerSecond, std::uint64_t writePerSecond);

private:
    struct Tile {
        PanelTab tab;
        PanelCardButton* button;
        TextLabel* value;
        BarSparkline* bars;
    };
    PanelCardButton* quickAction(const char* titleKey, const char* symbol, const DynamicColor& tint, std::function<void()> action);

    PanelContext context_;
    PanelCardButton* storageCard_;
    DonutChart* donut_;
    TextLabel* freeOf_;
    FigureAndUnit* free_;
    TextLabel* activity_;
    std::vector<Tile> tiles_;
    PanelCardButton* scanAction_;
    PanelCardButton* searchAction_;
    PanelCardButton* cleanAction_;
};
