#include "Platform/TrayPanelColors.h"

#include <gtest/gtest.h>

#include <vector>

using Ink = TrayPanelColors::Ink;
using Preference = DesktopColorScheme::Preference;

TEST(TrayPanelColors, NormalColorOfTheTrayProperty) {
    // Twelve values: normal, error, warning, success; only the first three count.
    const std::vector<std::uint32_t> white{65535, 65535, 65535, 65535, 0, 0, 65535, 32768, 0, 0, 65535, 0};
    EXPECT_EQ(TrayPanelColors::normalColor(white), (Ink{255, 255, 255}));
    EXPECT_EQ(TrayPanelColors::normalColor(std::vector<std::uint32_t>{0, 0, 0}), (Ink{0, 0, 0}));
    EXPECT_EQ(TrayPanelColors::normalColor(std::vector<std::uint32_t>{65535, 32768, 0, 7}), (Ink{255, 128, 0}));
    EXPECT_EQ(TrayPanelColors::normalColor(std::vector<std::uint32_t>{257, 514, 65278}), (Ink{1, 2, 254}));

    // Missing, short or out of range: the tray says nothing.
    EXPECT_EQ(TrayPanelColors::normalColor({}), std::nullopt);
    EXPECT_EQ(TrayPanelColors::normalColor(std::vector<std::uint32_t>{65535, 65535}), std::nullopt);
    EXPECT_EQ(TrayPanelColors::normalColor(std::vector<std::uint32_t>{65535, 65536, 0}), std::nullopt);
    EXPECT_EQ(TrayPanelColors::normalColor(std::vector<std::uint32_t>{0xFFFFFFFF, 0, 0}), std::nullopt);
}

TEST(TrayPanelColors, TrayThenDesktopThenTheAppsLook) {
    const Ink red{200, 0, 0};
    // The tray's own colour wins over every other hint, even GNOME and a dark app.
    EXPECT_EQ(TrayPanelColors::choose(red, Preference::light, "GNOME", true), red);
    EXPECT_EQ(TrayPanelColors::choose(Ink{0, 0, 0}, Preference::dark, "", true), (Ink{0, 0, 0}));

    // GNOME Shell's top bar is dark in either scheme, and for a light app.
    EXPECT_EQ(TrayPanelColors::choose(std::nullopt, Preference::light, "ubuntu:GNOME", false), TrayPanelColors::lightInk);
    EXPECT_EQ(TrayPanelColors::choose(std::nullopt, Preference::none, "gnome", false), TrayPanelColors::lightInk);
    // A desktop whose name only contains the word is not GNOME.
    EXPECT_EQ(TrayPanelColors::choose(std::nullopt, Preference::none, "NOTGNOME", false), TrayPanelColors::darkInk);

    // Elsewhere the desktop's scheme, whatever the app's own look.
    EXPECT_EQ(TrayPanelColors::choose(std::nullopt, Preference::dark, "KDE", false), TrayPanelColors::lightInk);
    EXPECT_EQ(TrayPanelColors::choose(std::nullopt, Preference::light, "KDE", true), TrayPanelColors::darkInk);

    // Without any hint, the app's look.
    EXPECT_EQ(TrayPanelColors::choose(std::nullopt, Preference::none, "", true), TrayPanelColors::lightInk);
    EXPECT_EQ(TrayPanelColors::choose(std::nullopt, Preference::none, "XFCE", false), TrayPanelColors::darkInk);
}

TEST(TrayPanelColors, OutlineOnlyWhereTheTrayToldNoColour) {
    const Ink red{200, 0, 0};
    EXPECT_EQ(TrayPanelColors::withOutline(red, red), (TrayPanelColors::Inks{red, std::nullopt}));
    // A guess from the desktop or the app's look may be wrong: the other ink outlines the glyph.
    EXPECT_EQ(TrayPanelColors::withOutline(std::nullopt, TrayPanelColors::lightInk),
              (TrayPanelColors::Inks{TrayPanelColors::lightInk, TrayPanelColors::darkInk}));
    EXPECT_EQ(TrayPanelColors::withOutline(std::nullopt, TrayPanelColors::darkInk),
              (TrayPanelColors::Inks{TrayPanelColors::darkInk, TrayPanelColors::lightInk}));
}
