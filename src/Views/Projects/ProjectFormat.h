#pragma once

#include "Foundation/Instant.h"
#include "Models/AppLocalization.h"
#include "Models/DevProject.h"

#include <QLocale>
#include <QString>

#include <vector>

// The texts the project views share.
namespace ProjectFormat {

// The row's second line: the runtime for one process (or none), else the process count.
QString subtitle(const DevProject& project);

// Every port of the projects, all together ascending, ", " between; a port of two projects twice.
QString ports(const std::vector<DevProject>& projects);

// A duration in one spelled-out unit: days from one day, hours from one hour, else minutes, never
// less than one minute ("3 days", "2 hours", "1 minute"), in the language chosen in the app.
QString duration(double seconds, const QLocale& locale = AppLocalization::activeLocale());

// The summed memory of the projects as the byte format writes it.
QString memory(const std::vector<DevProject>& projects);

}  // namespace ProjectFormat
