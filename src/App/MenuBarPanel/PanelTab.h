#pragma once

#include "Models/RawValues.h"
#include "Views/DesignSystem/DynamicColor.h"

#include <QString>

#include <vector>

// The tabs of the tray panel, in the order of its tab bar; the raw value is what "menuBarTab" stores.
enum class PanelTab { overview, cpu, memory, disk, network, battery, projects, docker };

template <>
struct RawValues<PanelTab> {
    static constexpr std::array<std::pair<PanelTab, std::string_view>, 8> table{{
        {PanelTab::overview, "overview"},
        {PanelTab::cpu, "cpu"},
        {PanelTab::memory, "memory"},
        {PanelTab::disk, "disk"},
        {PanelTab::network, "network"},
        {PanelTab::battery, "battery"},
        {PanelTab::projects, "projects"},
        {PanelTab::docker, "docker"},
    }};
};

namespace PanelTabs {

QString titleKey(PanelTab tab);  // "monitor.tab." and the raw value
QString symbol(PanelTab tab);
DynamicColor tint(PanelTab tab);

// The tabs offered: all, but the battery only on a machine that has one.
std::vector<PanelTab> shown(bool hasBattery);

// The tab shown for the stored text: the overview for a text that names no tab, and for "battery"
// on a machine without a battery (whose page would read 0 %). The stored text itself stays.
PanelTab current(const QString& stored, bool hasBattery);

}  // namespace PanelTabs
