#pragma once

#include "Services/AppUsage.h"

#include <QIcon>

// The icon of an application row: the icon theme's icon named like the program, else the theme's
// generic program icon; null when the theme has neither. Looked up once per program name and kept.
QIcon appIcon(const AppUsage& app);
