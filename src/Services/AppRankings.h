#pragma once

#include "Models/AppUsage.h"

#include <vector>

// The three orders in which the monitor screen and the tray panel list applications, largest
// first. Each sorts a copy and keeps the published order among equals, so rows with the same
// figure do not swap places from one sample to the next.
struct AppRankings {
    static std::vector<AppUsage> byCPU(std::vector<AppUsage> apps);
    static std::vector<AppUsage> byMemory(std::vector<AppUsage> apps);
    static std::vector<AppUsage> byWrite(std::vector<AppUsage> apps);
};
