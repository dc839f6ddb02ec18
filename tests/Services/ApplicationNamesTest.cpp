#include "Services/ApplicationNames.h"

#include <gtest/gtest.h>

using namespace ApplicationNames;

// A build's name, as projects publish them and people name their entries, gives the name of the
// application it is a build of; any other name gives none.
TEST(ApplicationNames, ABuildIsKnownByTheWordAfterItsApplicationsName) {
    const std::pair<const char*, const char*> rows[]{
        {"FreeCAD Weekly", "freecad"},
        {"freecad-weekly", "freecad"},
        {"FreeCAD_weekly-builds-39811-2024-12-10-conda-Linux-x86_64-py311.AppImage", "freecad"},
        {"kdenlive-master-a5c9b3f-x86_64.AppImage", "kdenlive"},
        {"kdenlive-master-4212-linux-gcc-x86_64.AppImage", "kdenlive"},
        {"nvim-nightly", "nvim"},
        {"nvim-nightly-linux64.appimage", "nvim"},
        {"Firefox Nightly", "firefox"},
        {"Visual Studio Code - Insiders", "visualstudiocode"},
        {"code-insiders", "code"},
        {"Google Chrome (unstable)", "googlechrome"},
        {"Cura-beta-5.9.0-linux-X64.AppImage", "cura"},
        {"Krita-5.3.0-prealpha-git-1b2c3d4e.AppImage", "krita"},
        {"krita-git-1b2c3d4e", "krita"},
        {"FreeCAD 1.0 RC2", "freecad"},
        {"Inkscape-Dev", "inkscape"},
        {"Thunderbird Beta", "thunderbird"},
        {"Zed Preview", "zed"},
        {"Chrome Canary", "chrome"},
        {"OpenSCAD-continuous", "openscad"},
        {"Blender main", "blender"},
        {"mpv-unstable-v0.39.0", "mpv"},
        {"RawTherapee_dev_5.10-33-gabcdef1", "rawtherapee"},
        {"darktable alpha3", "darktable"},
        {"mGBA-build-latest-appimage-x64.appimage", "mgba"},
        {"Foo_Builds_Nightly", "foo"},
        // Not builds: the release itself, a build word first or inside another word, more than a
        // version after it.
        {"FreeCAD", ""},
        {"FreeCAD_1.0.0-conda-Linux-x86_64-py311.AppImage", ""},
        {"FreeCAD-Devtools-3.0.AppImage", ""},
        {"FreeCAD-beta-exporter.AppImage", ""},
        {"freecad-mainline", ""},
        {"Git Cola", ""},
        {"Beta", ""},
        {"Kdenlive Dev Tools", ""},
        {"Firefox Developer Edition", ""},
        {"Main Menu", ""},
        {"-beta", ""},
    };
    for (const auto& [name, key] : rows) EXPECT_EQ(otherBuildKey(QString::fromUtf8(name)), QString::fromUtf8(key)) << name;
}
