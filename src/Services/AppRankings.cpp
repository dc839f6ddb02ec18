#include "Services/AppRankings.h"

#include <algorithm>

std::vector<AppUsage> AppRankings::byCPU(std::vector<AppUsage> apps) {
    std::stable_sort(apps.begin(), apps.end(), [](const AppUsage& a, const AppUsage& b) { return a.cpu > b.cpu; });
    return apps;
}

std::vector<AppUsage> AppRankings::byMemory(std::vector<AppUsage> apps) {
    std::stable_sort(apps.begin(), apps.end(), [](const AppUsage& a, const AppUsage& b) { return a.memory > b.memory; });
    return apps;
}

std::vector<AppUsage> AppRankings::byWrite(std::vector<AppUsage> apps) {
    std::stable_sort(apps.begin(), apps.end(),
                     [](const AppUsage& a, const AppUsage& b) { return a.diskWritePerSecond > b.diskWritePerSecond; });
    return apps;
}
