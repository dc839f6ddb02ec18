#pragma once

// Which tool installed a locked item, and so which one removes it.
enum class PackageKind {
    debian,       // dpkg: apt remove
    flatpak,      // a system-wide Flatpak: flatpak uninstall
    userFlatpak,  // a Flatpak of the user's own installation: flatpak uninstall --user
    snap,         // snap remove
};
