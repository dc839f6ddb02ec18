#include "App/MenuBarPanel/PanelHealth.h"

#include "Views/DesignSystem/DS.h"

bool PanelHealth::isLowOnSpace(const DiskCapacityService::Capacity& startupVolume) {
    return startupVolume.total >= 1 && startupVolume.available <= lowSpaceBytes;
}

PanelHealth PanelHealth::of(const DiskCapacityService::Capacity& startupVolume, MemoryPressure pressure, double cpuUsage) {
    if (isLowOnSpace(startupVolume)) return {"menubar.health.disk", "exclamationmark.triangle.fill", DS::orange};
    if (pressure == MemoryPressure::critical) return {"menubar.health.memory", "exclamationmark.triangle.fill", DS::pink};
    if (pressure == MemoryPressure::warning) return {"menubar.health.memoryElevated", "gauge.with.dots.needle.67percent", DS::amber};
    if (cpuUsage > 0.85) return {"menubar.health.cpu", "flame.fill", DS::amber};
    return {"menubar.health.good", "checkmark.seal.fill", DS::green};
}
