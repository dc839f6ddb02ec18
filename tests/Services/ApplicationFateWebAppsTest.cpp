#include "Services/InstalledHome.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace InstalledFiles;

// A launcher made for a web page is a launcher, not its browser: its entry, its icon and its own
// profile, never the browser's store, size or lock.
namespace {

// A system-wide Flatpak and its exported entry.
void flatpak(InstalledHome& home, const std::string& id, const std::string& name, const std::string& program) {
    home.tree.file("var/lib/flatpak/app/" + id + "/current/active/files/bin/" + program, 500000);
    home.entry("var/lib/flatpak/exports/share/applications/" + id + ".desktop", name, "Exec=/usr/bin/flatpak run " + id + "\nX-Flatpak=" + id + "\n");
}

// GNOME Web's web app, made through the launcher portal and linked into the applications folder.
void epiphanyWebApp(InstalledHome& home) {
    flatpak(home, "org.gnome.Epiphany", "Web", "epiphany");
    const std::string id = "org.gnome.Epiphany.WebApp_6f2b3c";
    const fs::path icon = home.tree.file("home/.local/share/xdg-desktop-portal/icons/192x192/" + id + ".png", 6000);
    const fs::path portalEntry = home.entry("home/.local/share/xdg-desktop-portal/applications/" + id + ".desktop", "Mastodon",
                                            "Exec=flatpak run --command=epiphany org.gnome.Epiphany --application-mode --profile=/home/.var/app/org.gnome.Epiphany/data/" +
                                                id + " https://mastodon.social\nIcon=/home/.local/share/xdg-desktop-portal/icons/192x192/" + id +
                                                ".png\nX-Flatpak=org.gnome.Epiphany\nStartupWMClass=" + id + "\n");
    const fs::path entry = home.link(portalEntry, ".local/share/applications/" + id + ".desktop");
    const fs::path profile = home.tree.file("home/.var/app/org.gnome.Epiphany/data/" + id + "/ephy.db", 30000).parent_path();
    home.tree.file("home/.var/app/org.gnome.Epiphany/data/epiphany/ephy-history.db", 90000);
    home.expect("EpiphanyWebAppIsOnlyItsLauncher", id, {{entry, true}, {icon, true}, {portalEntry, true}, {profile, true}},
                allocated(entry) + allocated(icon) + allocated(portalEntry) + du(profile));
}

void chromeWebApp(InstalledHome& home) {
    flatpak(home, "com.google.Chrome", "Google Chrome", "chrome");
    const std::string id = "chrome-cinhimbnkkaeohfgghhklpknlkffjgod-Default";
    const fs::path large = home.tree.file("home/.local/share/icons/hicolor/128x128/apps/" + id + ".png", 9000);
    const fs::path small = home.tree.file("home/.local/share/icons/hicolor/32x32/apps/" + id + ".png", 1000);
    const fs::path entry = home.userEntry(id, "YouTube Music",
                                          "Exec=/usr/bin/flatpak run --branch=stable --arch=x86_64 --command=/app/bin/chrome --file-forwarding com.google.Chrome "
                                          "@@u %U @@ --profile-directory=Default --app-id=cinhimbnkkaeohfgghhklpknlkffjgod\nIcon=" +
                                              id + "\nX-Flatpak=com.google.Chrome\n");
    home.tree.file("home/.var/app/com.google.Chrome/config/google-chrome/Default/History", 90000);
    home.expect("ChromeWebAppIsOnlyItsLauncher", id, {{entry, true}, {large, true}, {small, true}}, home.entryBytes() + allocated(large) + allocated(small));
}

constexpr FreshCase cases[]{{"EpiphanyWebAppIsOnlyItsLauncher", epiphanyWebApp}, {"ChromeWebAppIsOnlyItsLauncher", chromeWebApp}};

}  // namespace

INSTANTIATE_TEST_SUITE_P(WebApps, FreshHomeFate, ::testing::ValuesIn(cases), [](const auto& row) { return std::string(row.param.name); });
