#pragma once

#include "Models/RawValues.h"

// The look of the tray label; the raw value is what "menuBarStyle" stores.
enum class MenuBarItemStyle { icon, figure, graph, stacked };

template <>
struct RawValues<MenuBarItemStyle> {
    static constexpr std::array<std::pair<MenuBarItemStyle, std::string_view>, 4> table{{
        {MenuBarItemStyle::icon, "icon"},
        {MenuBarItemStyle::figure, "figure"},
        {MenuBarItemStyle::graph, "graph"},
        {MenuBarItemStyle::stacked, "stacked"},
    }};
};

#include "Models/TextKey.h"

constexpr const char* titleKey(MenuBarItemStyle style) {
    switch (style) {
    case MenuBarItemStyle::icon: return textKey("menubar.style.icon");
    case MenuBarItemStyle::figure: return textKey("menubar.style.figure");
    case MenuBarItemStyle::graph: return textKey("menubar.style.graph");
    case MenuBarItemStyle::stacked: return textKey("menubar.style.stacked");
    }
    return textKey("menubar.style.icon");
}
