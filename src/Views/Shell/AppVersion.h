#pragma once

#include <QString>

// The version shown in settings: the short version and the build, "1.4 (27)".
namespace AppVersion {

// A missing part shows as an em dash.
QString displayValue(const QString& shortVersion, const QString& build);
// This build's.
QString displayValue();

}  // namespace AppVersion
