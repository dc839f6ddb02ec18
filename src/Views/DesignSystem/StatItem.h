#pragma once

#include "Foundation/Uuid.h"
#include "Views/DesignSystem/DynamicColor.h"

#include <QString>

#include <optional>

// One labelled figure of a StatColumns row; texts are shown as given.
struct StatItem {
    QString label;
    QString value;
    std::optional<DynamicColor> dot;  // a small marker before the label
    Uuid id = Uuid::random();
};
