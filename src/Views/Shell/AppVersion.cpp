#include "Views/Shell/AppVersion.h"

namespace AppVersion {

QString displayValue(const QString& shortVersion, const QString& build) {
    const QString dash = QStringLiteral("\u2014");
    return (shortVersion.isEmpty() ? dash : shortVersion) + QStringLiteral(" (") + (build.isEmpty() ? dash : build) + QLatin1Char(')');
}

QString displayValue() { return displayValue(QStringLiteral(QUARNELL_VERSION), QStringLiteral(QUARNELL_BUILD)); }

}  // namespace AppVersion
