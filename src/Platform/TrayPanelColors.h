#pragma once

#include "Platform/DesktopColorScheme.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <span>

struct xcb_connection_t;

// The ink that keeps a monochrome tray icon visible on the panel that shows it. In order: the
// "normal" colour an XEmbed tray publishes in _NET_SYSTEM_TRAY_COLORS on the window that owns its
// selection; else the desktop's colour scheme, with GNOME Shell's top bar counted dark whatever the
// scheme; else the application's own look. Only the tray's own colour is sure: with any other the
// glyph gets an outline of the opposite ink, so it shows on a panel of any colour.
class TrayPanelColors {
public:
    struct Ink {
        int red = 0;  // 0...255 each
        int green = 0;
        int blue = 0;
        bool operator==(const Ink&) const = default;
    };
    static constexpr Ink lightInk{0xF2, 0xF2, 0xF5};  // for a dark panel
    static constexpr Ink darkInk{0x1C, 0x1C, 0x1F};   // for a light panel

    // Asks the tray on `connection`, which is null where the application does not run on X11.
    explicit TrayPanelColors(xcb_connection_t* connection);

    struct Inks {
        Ink ink;
        std::optional<Ink> outline;  // none when the tray announced its colour
        bool operator==(const Inks&) const = default;
    };

    // The inks now. The tray is asked on every call (two short requests), so a tray that changes its
    // colours, or one that starts later, is followed at the next redraw.
    Inks inks(bool appIsDark);

    // The tray's normal colour from the property's CARDINALs (normal, error, warning, success, each
    // red, green, blue in 16 bits): none when there are fewer than three or one exceeds 16 bits.
    static std::optional<Ink> normalColor(std::span<const std::uint32_t> values);

    // The order above, for one tray answer, desktop preference, XDG_CURRENT_DESKTOP and app look.
    static Ink choose(std::optional<Ink> trayNormal, DesktopColorScheme::Preference desktop, const QString& currentDesktop, bool appIsDark);
    // The chosen ink with its outline: none under the tray's own colour, else the other ink.
    static Inks withOutline(std::optional<Ink> trayNormal, Ink ink);

private:
    std::optional<Ink> readTrayNormalColor();

    xcb_connection_t* connection_;
    int screen_ = 0;
    std::uint32_t selectionAtom_ = 0;
    std::uint32_t colorsAtom_ = 0;
};
