#pragma once

#include "Models/ValueTool.h"
#include "Views/DesignSystem/DynamicColor.h"

#include <QString>

// How a tool presents itself in the tools rail and in its detail header.
namespace ValueToolPresentation {

const char* titleKey(ValueTool tool);  // text keys
const char* detailKey(ValueTool tool);
DynamicColor tint(ValueTool tool);
QString symbol(ValueTool tool);

}  // namespace ValueToolPresentation
