#pragma once

#include "Views/DesignSystem/DynamicColor.h"

// The palette every screen draws with: surfaces, then accents.
namespace DS {

inline constexpr DynamicColor canvas = DynamicColor::dynamic(0xF2F2F5, 0x141416);            // page background
inline constexpr DynamicColor card = DynamicColor::dynamic(0xFFFFFF, 0x1C1C1F);              // card fill
inline constexpr DynamicColor raised = DynamicColor::dynamic(0xF4F4F7, 0x232327);            // highlighted rows, fields
inline constexpr DynamicColor hairline = DynamicColor::dynamic(0x000000, 0xFFFFFF, 0.07, 0.05);  // outlines, grid lines
inline constexpr DynamicColor track = DynamicColor::dynamic(0x000000, 0xFFFFFF, 0.07, 0.08);     // empty tracks, soft buttons
inline constexpr DynamicColor blue = DynamicColor::dynamic(0x2563EB, 0x4C8DF6);
inline constexpr DynamicColor purple = DynamicColor::dynamic(0x6D5AE6, 0x9A8CF8);
inline constexpr DynamicColor pink = DynamicColor::dynamic(0xD6336C, 0xEC5C8E);
inline constexpr DynamicColor amber = DynamicColor::dynamic(0xB7791F, 0xE8A317);
inline constexpr DynamicColor teal = DynamicColor::dynamic(0x0E8F84, 0x22C2A8);
inline constexpr DynamicColor green = DynamicColor::dynamic(0x228B3B, 0x3DCB5E);
inline constexpr DynamicColor orange = DynamicColor::dynamic(0xD9480F, 0xF47435);
inline constexpr DynamicColor cyan = DynamicColor::dynamic(0x0B7F9A, 0x2EC4E0);
inline constexpr DynamicColor gray = DynamicColor::dynamic(0x8A8A92, 0x6E6E76);                // neutral accent

}  // namespace DS
