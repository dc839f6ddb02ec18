#include "Views/Monitor/MonitorTab.h"

#include "Views/DesignSystem/DS.h"

namespace MonitorTabPresentation {

QString id(MonitorTab tab) {
    switch (tab) {
    case MonitorTab::overview: return QStringLiteral("overview");
    case MonitorTab::cpu: return QStringLiteral("cpu");
    case MonitorTab::memory: return QStringLiteral("memory");
    case MonitorTab::disk: return QStringLiteral("disk");
    case MonitorTab::network: return QStringLiteral("network");
    case MonitorTab::battery: return QStringLiteral("battery");
    case MonitorTab::projects: return QStringLiteral("projects");
    }
    return {};
}

QString titleKey(MonitorTab tab) { return QStringLiteral("monitor.tab.") + id(tab); }

QString symbol(MonitorTab tab) {
    switch (tab) {
    case MonitorTab::overview: return QStringLiteral("square.grid.2x2");
    case MonitorTab::cpu: return QStringLiteral("cpu");
    case MonitorTab::memory: return QStringLiteral("memorychip");
    case MonitorTab::disk: return QStringLiteral("internaldrive");
    case MonitorTab::network: return QStringLiteral("globe");
    case MonitorTab::battery: return QStringLiteral("battery.75percent");
    case MonitorTab::projects: return QStringLiteral("folder");
    }
    return {};
}

DynamicColor tint(MonitorTab tab) {
    switch (tab) {
    case MonitorTab::overview: return DS::purple;
    case MonitorTab::cpu: return DS::blue;
    case MonitorTab::memory: return DS::purple;
    case MonitorTab::disk: return DS::amber;
    case MonitorTab::network: return DS::teal;
    case MonitorTab::battery: return DS::green;
    case MonitorTab::projects: return DS::orange;
    }
    return DS::gray;
}

}  // namespace MonitorTabPresentation
