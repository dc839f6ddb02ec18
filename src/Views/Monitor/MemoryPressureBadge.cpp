#include "Views/Monitor/MemoryPressureBadge.h"

#include "Models/AppLocalization.h"
#include "Views/DesignSystem/DS.h"

DomainCard::Badge memoryPressureBadge(MemoryPressure pressure) {
    const QString warning = QStringLiteral("exclamationmark.triangle.fill");
    switch (pressure) {
    case MemoryPressure::warning: return {AppLocalization::string("monitor.pressure.warning"), warning, DS::amber};
    case MemoryPressure::critical: return {AppLocalization::string("monitor.pressure.critical"), warning, DS::pink};
    case MemoryPressure::normal: break;
    }
    return {AppLocalization::string("monitor.pressure.normal"), QStringLiteral("checkmark"), DS::green};
}
