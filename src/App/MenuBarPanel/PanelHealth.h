#pragma once

#include "Services/DiskCapacityService.h"
#include "Models/MemoryPressure.h"
#include "Views/DesignSystem/DynamicColor.h"

#include <QString>

// The one-line health summary of the panel's header: the first of low disk space, critical memory
// pressure, elevated memory pressure and a busy processor, else good.
struct PanelHealth {
    QString key;
    QString symbol;
    DynamicColor tint;

    static constexpr std::int64_t lowSpaceBytes = 19'999'999'999;  // at most this much free is low

    static PanelHealth of(const DiskCapacityService::Capacity& startupVolume, MemoryPressure pressure, double cpuUsage);
    // Whether the start-up volume is low on space. A volume whose size could not be read (0) is not.
    static bool isLowOnSpace(const DiskCapacityService::Capacity& startupVolume);
};
