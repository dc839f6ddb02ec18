#include "Views/Tools/SafetyPill.h"

#include "Models/AppLocalization.h"
#include "Views/DesignSystem/DS.h"

SafetyPill::SafetyPill(CleanupSafety safety, QWidget* parent)
    : Pill(AppLocalization::string(safety == CleanupSafety::safe ? QStringLiteral("cleanup.safe") : QStringLiteral("cleanup.review")),
           safety == CleanupSafety::safe ? QStringLiteral("checkmark.shield.fill") : QStringLiteral("exclamationmark.triangle.fill"),
           safety == CleanupSafety::safe ? DS::green : DS::amber, parent) {}
