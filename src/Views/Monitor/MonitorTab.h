#pragma once

#include "Views/DesignSystem/DynamicColor.h"

#include <QString>

#include <array>

// The monitor screen's tabs, in tab-bar order. View state only: never stored, and apart from the
// tray panel's own tabs.
enum class MonitorTab { overview, cpu, memory, disk, network, battery, projects };

namespace MonitorTabPresentation {

inline constexpr std::array<MonitorTab, 7> allTabs{MonitorTab::overview, MonitorTab::cpu,     MonitorTab::memory,  MonitorTab::disk,
                                                   MonitorTab::network,  MonitorTab::battery, MonitorTab::projects};

QString id(MonitorTab tab);  // the tab bar's identifier
QString titleKey(MonitorTab tab);
QString symbol(MonitorTab tab);
DynamicColor tint(MonitorTab tab);

}  // namespace MonitorTabPresentation
