#pragma once

#include "Views/DesignSystem/DynamicColor.h"

#include <variant>

// The filled capsule of a screen's main action: white 13-semibold label on the tint (80 % while
// pressed), padded 16 by 8.
struct TintedButtonStyle {
    DynamicColor tint;
};

// The soft capsule of secondary actions: 13-medium label in the tint on DS.track (1.6 times as
// strong while pressed), padded 14 by 7.
struct SoftButtonStyle {
    DynamicColor tint;
};

using ButtonStyle = std::variant<TintedButtonStyle, SoftButtonStyle>;
