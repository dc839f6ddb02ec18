#pragma once

#include "Models/AppUsage.h"

#include <QIcon>

// The icon of an application row: its desktop entry's icon through the icon theme (or its file),
// else the theme's icon for programs. Each icon is looked up once and kept: the rows come
// back every two seconds with the same icons.
namespace AppIcons {

QIcon icon(const AppUsage& app);

}  // namespace AppIcons
