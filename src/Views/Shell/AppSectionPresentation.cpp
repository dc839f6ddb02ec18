#include "Views/Shell/AppSectionPresentation.h"

#include "Models/TextKey.h"
#include "Views/DesignSystem/DS.h"

namespace AppSectionPresentation {

const char* tabTitleKey(AppSection section) {
    switch (section) {
    case AppSection::overview: return textKey("tab.overview");
    case AppSection::storage: return textKey("tab.storage");
    case AppSection::search: return textKey("tab.search");
    case AppSection::uninstaller: return textKey("tab.uninstaller");
    case AppSection::monitor: return textKey("tab.monitor");
    case AppSection::tools: return textKey("tab.tools");
    case AppSection::settings: return textKey("nav.settings");
    }
    return textKey("tab.overview");
}

QString symbol(AppSection section) {
    switch (section) {
    case AppSection::overview: return QStringLiteral("square.grid.2x2");
    case AppSection::storage: return QStringLiteral("internaldrive");
    case AppSection::search: return QStringLiteral("magnifyingglass");
    case AppSection::uninstaller: return QStringLiteral("app.badge");
    case AppSection::monitor: return QStringLiteral("waveform.path.ecg");
    case AppSection::tools: return QStringLiteral("wrench.and.screwdriver");
    case AppSection::settings: return QStringLiteral("gearshape");
    }
    return {};
}

DynamicColor tint(AppSection section) {
    switch (section) {
    case AppSection::overview: return DS::teal;
    case AppSection::storage: return DS::amber;
    case AppSection::search: return DS::blue;
    case AppSection::uninstaller: return DS::pink;
    case AppSection::monitor: return DS::purple;
    case AppSection::tools: return DS::orange;
    case AppSection::settings: return DS::gray;
    }
    return DS::gray;
}

}  // namespace AppSectionPresentation
