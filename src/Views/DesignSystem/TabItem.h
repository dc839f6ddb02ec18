#pragma once

#include "Views/DesignSystem/DynamicColor.h"

#include <QString>

// One tab of a PillTabBar. `id` is the caller's value for it (an enumeration's raw value);
// `title` is shown as given.
struct TabItem {
    QString id;
    QString title;
    QString symbol;
    DynamicColor tint;
};
