#pragma once

#include "Models/AppSection.h"
#include "Views/DesignSystem/DynamicColor.h"

#include <QString>

// How a section presents itself in the tab bar and the overview's quick tiles.
namespace AppSectionPresentation {

const char* tabTitleKey(AppSection section);  // a text key
QString symbol(AppSection section);
DynamicColor tint(AppSection section);

}  // namespace AppSectionPresentation
