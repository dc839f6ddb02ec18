#include "App/MenuBarPanel/PanelTab.h"

#include "Views/DesignSystem/DS.h"

namespace PanelTabs {

QString titleKey(PanelTab tab) { return QStringLiteral("monitor.tab.") + rawText(tab); }

QString symbol(PanelTab tab) {
    switch (tab) {
    case PanelTab::overview: return QStringLiteral("square.grid.2x2");
    case PanelTab::cpu: return QStringLiteral("cpu");
    case PanelTab::memory: return QStringLiteral("memorychip");
    case PanelTab::disk: return QStringLiteral("internaldrive");
    case PanelTab::network: return QStringLiteral("globe");
    case PanelTab::battery: return QStringLiteral("battery.75percent");
    case PanelTab::projects: return QStringLiteral("folder");
    case PanelTab::docker: return QStringLiteral("shippingbox.fill");
    }
    return {};
}

DynamicColor tint(PanelTab tab) {
    switch (tab) {
    case PanelTab::overview: return DS::teal;
    case PanelTab::cpu: return DS::blue;
    case PanelTab::memory: return DS::purple;
    case PanelTab::disk: return DS::amber;
    case PanelTab::network: return DS::teal;
    case PanelTab::battery: return DS::green;
    case PanelTab::projects: return DS::orange;
    case PanelTab::docker: return DS::blue;
    }
    return DS::teal;
}

std::vector<PanelTab> shown(bool hasBattery) {
    std::vector<PanelTab> tabs;
    for (const auto& [tab, raw] : RawValues<PanelTab>::table)
        if (tab != PanelTab::battery || hasBattery) tabs.push_back(tab);
    return tabs;
}

PanelTab current(const QString& stored, bool hasBattery) {
    const PanelTab tab = fromRawText<PanelTab>(stored).value_or(PanelTab::overview);
    return tab == PanelTab::battery && !hasBattery ? PanelTab::overview : tab;
}

}  // namespace PanelTabs
