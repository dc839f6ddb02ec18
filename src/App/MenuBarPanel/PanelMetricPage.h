#pragma once

#include "App/MenuBarPanel/PanelContext.h"
#include "App/MenuBarPanel/PanelPage.h"
#include "Models/MetricPoint.h"
#include "Views/DesignSystem/AreaTrend.h"

#include <optional>
#include <utility>
#include <vector>

class FigureAndUnit;
class KeyValueRow;
class PanelTopApps;
class TextLabel;

// The processor, memory, disk, network or battery page of the panel: the live figure with its
// unit, caption and trend, three rows of the figures behind it and, for processor, memory and disk,
// the five applications that load it most.
class PanelMetricPage : public PanelPage {
    Q_OBJECT
public:
    PanelMetricPage(PanelTab tab, const PanelContext& context, QWidget* parent = nullptr);

    struct Figures {
        QString value;
        QString unit;
        QString caption;
        std::vector<MetricPoint> points;
        std::optional<AreaTrend::Range> domain;
        std::vector<std::pair<QString, QString>> rows;  // label key, value
    };
    static Figures figures(PanelTab tab, const SystemMonitor& monitor, const DiskCapacityService::Capacity& startupVolume);

    void refresh() override;

    FigureAndUnit* hero() const { return hero_; }
    TextLabel* caption() const { return caption_; }
    AreaTrend* trend() const { return trend_; }
    const std::vector<KeyValueRow*>& rows() const { return rows_; }
    PanelTopApps* topApps() const { return topApps_; }

private:
    PanelTab tab_;
    PanelContext context_;
    FigureAndUnit* hero_;
    TextLabel* caption_;
    AreaTrend* trend_;
    std::vector<KeyValueRow*> rows_;
    PanelTopApps* topApps_ = nullptr;
};
