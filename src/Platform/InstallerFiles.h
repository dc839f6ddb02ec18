#pragma once

#include <string_view>

// Installer files as the quick searches name them. The table was written for a desktop whose
// installers are disk images and packages (".dmg", "DMG · PKG"); here they are Debian and RPM
// packages. Any other text is returned as it is.
namespace InstallerFiles {

constexpr std::string_view linuxText(std::string_view original) {
    if (original == ".dmg") return ".deb";
    if (original == "DMG \u00B7 PKG") return "DEB \u00B7 RPM";
    return original;
}

}  // namespace InstallerFiles
