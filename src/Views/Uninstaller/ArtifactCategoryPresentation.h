#pragma once

#include "Models/ArtifactCategory.h"
#include "Views/DesignSystem/DynamicColor.h"

#include <QString>

// How each kind of leftover presents itself in the uninstaller: symbol, tint and title key.
namespace ArtifactCategoryPresentation {

QString symbol(ArtifactCategory category);
DynamicColor tint(ArtifactCategory category);
const char* titleKey(ArtifactCategory category);

}  // namespace ArtifactCategoryPresentation
