#pragma once

#include "Views/Monitor/MonitorPage.h"

class BreakdownCard;
class DomainCard;
class MemoryByTypeCard;

// The monitor's overview: processor, memory, battery or desktop, disk, network and load cards in
// a grid, then memory by kind, memory by application and processor by application.
class MonitorOverviewPage : public MonitorPage {
    Q_OBJECT
public:
    explicit MonitorOverviewPage(MonitorPageContext context, QWidget* parent = nullptr);

    void refresh() override;

    DomainCard* processorCard() const { return processor_; }
    DomainCard* memoryCard() const { return memory_; }
    DomainCard* systemOrBatteryCard() const { return systemOrBattery_; }
    DomainCard* diskCard() const { return disk_; }
    DomainCard* networkCard() const { return network_; }
    DomainCard* loadCard() const { return load_; }
    MemoryByTypeCard* memoryByTypeCard() const { return memoryByType_; }
    BreakdownCard* memoryByAppCard() const { return memoryByApp_; }
    BreakdownCard* cpuByAppCard() const { return cpuByApp_; }

private:
    void refreshSystemOrBattery(const QString& uptime);

    DomainCard* processor_;
    DomainCard* memory_;
    DomainCard* systemOrBattery_;
    DomainCard* disk_;
    DomainCard* network_;
    DomainCard* load_;
    MemoryByTypeCard* memoryByType_;
    BreakdownCard* memoryByApp_;
    BreakdownCard* cpuByApp_;
    bool showsBattery_ = false;
};
