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

// Mint's Web Apps: Firefox in a shell with a profile named by the launcher's code name, another web
// app's profile and Firefox's own beside it.
void mintFirefoxWebApp(InstalledHome& home) {
    home.tree.file("usr/bin/firefox", 400000);
    const fs::path icon = home.tree.file("home/.local/share/ice/icons/Mail1234.png", 5000);
    const fs::path entry =
        home.userEntry("webapp-Mail1234", "Mail",
                       "Exec=sh -c 'XAPP_FORCE_GTKWINDOW_ICON=\"/home/.local/share/ice/icons/Mail1234.png\" firefox --class WebApp-Mail1234 --name WebApp-Mail1234 "
                       "--profile /home/.local/share/ice/firefox/Mail1234 --no-remote \"https://mail.example.org\"'\nIcon=/home/.local/share/ice/icons/Mail1234.png\n"
                       "StartupWMClass=WebApp-Mail1234\nX-WebApp-Browser=Firefox\nX-WebApp-URL=https://mail.example.org\nX-WebApp-Isolated=true\n");
    const fs::path profile = home.tree.file("home/.local/share/ice/firefox/Mail1234/prefs.js", 30000).parent_path();
    home.tree.file("home/.local/share/ice/firefox/Chat5678/prefs.js", 30000);
    home.tree.file("home/.mozilla/firefox/x.default-release/places.sqlite", 90000);
    home.expect("MintFirefoxWebAppIsOnlyItsLauncher", "webapp-Mail1234", {{entry, true}, {icon, true}, {profile, true}},
                allocated(entry) + allocated(icon) + du(profile));
}

// Chromium with a data folder of its own, named by the code name its class carries.
void mintChromiumWebApp(InstalledHome& home) {
    home.tree.file("usr/bin/chromium", 400000);
    const fs::path entry = home.userEntry("webapp-Chat5678", "Chat",
                                          "Exec=chromium --app=\"https://chat.example.org\" --class=WebApp-Chat5678 --name=WebApp-Chat5678 "
                                          "--user-data-dir=/home/.local/share/ice/profiles/Chat5678\nIcon=chat\nStartupWMClass=WebApp-Chat5678\n");
    const fs::path profile = home.tree.file("home/.local/share/ice/profiles/Chat5678/Default/History", 40000).parent_path().parent_path();
    home.tree.file("home/.config/chromium/Default/History", 90000);
    home.expect("MintChromiumWebAppIsOnlyItsLauncher", "webapp-Chat5678", {{entry, true}, {profile, true}}, allocated(entry) + du(profile));
}

// Mint's Web App for Epiphany: its entry links into its profile, which it names through a link.
void mintEpiphanyWebApp(InstalledHome& home) {
    home.tree.file("usr/bin/epiphany", 400000);
    const std::string name = "org.gnome.Epiphany.WebApp-Maps9876";
    const fs::path profile = home.home(".local/share/ice/epiphany/" + name);
    const fs::path real = home.entry("home/.local/share/ice/epiphany/" + name + "/" + name + ".desktop", "Maps",
                                     "Exec=epiphany --application-mode  --profile=\"/home/.local/share/" + name +
                                         "\" \"https://maps.example.org\"\nStartupWMClass=WebApp-Maps9876\n");
    home.tree.file("home/.local/share/ice/epiphany/" + name + "/ephy-history.db", 20000);
    const fs::path link = home.link(profile, ".local/share/" + name);
    const fs::path entry = home.link(real, ".local/share/applications/webapp-Maps9876.desktop");
    home.expect("MintEpiphanyWebAppGoesWithItsProfile", "webapp-Maps9876", {{entry, true}, {link, true}, {profile, true}},
                allocated(entry) + allocated(link) + du(profile));
}

// A Firefox PWA: its entry and its icons, named by its ID; firefoxpwa's profiles may hold other web
// apps and stay.
void firefoxPwa(InstalledHome& home) {
    home.tree.file("usr/bin/firefoxpwa", 300000);
    const std::string id = "FFPWA-01HQ3Z8V6J2K4M7N9P0R5S1T2W";
    const fs::path large = home.tree.file("home/.local/share/icons/hicolor/256x256/apps/" + id + ".png", 9000);
    const fs::path small = home.tree.file("home/.local/share/icons/hicolor/48x48/apps/" + id + ".png", 1000);
    const fs::path entry = home.userEntry(id, "YouTube Music", "Exec=/usr/bin/firefoxpwa site launch 01HQ3Z8V6J2K4M7N9P0R5S1T2W --protocol %u\nIcon=" + id +
                                                                   "\nStartupWMClass=" + id + "\n");
    home.tree.file("home/.local/share/firefoxpwa/profiles/01HQ3Z8V6J2K4M7N9P0PROF1/places.sqlite", 60000);
    home.expect("FirefoxPwaIsOnlyItsLauncher", id, {{entry, true}, {large, true}, {small, true}}, home.entryBytes() + allocated(large) + allocated(small));
}

constexpr FreshCase webAppCases[]{{"EpiphanyWebAppIsOnlyItsLauncher", epiphanyWebApp},
                            {"ChromeWebAppIsOnlyItsLauncher", chromeWebApp},
                            {"MintFirefoxWebAppIsOnlyItsLauncher", mintFirefoxWebApp},
                            {"MintChromiumWebAppIsOnlyItsLauncher", mintChromiumWebApp},
                            {"MintEpiphanyWebAppGoesWithItsProfile", mintEpiphanyWebApp},
                            {"FirefoxPwaIsOnlyItsLauncher", firefoxPwa}};

}  // namespace

INSTANTIATE_TEST_SUITE_P(WebApps, FreshHomeFate, ::testing::ValuesIn(webAppCases), [](const auto& row) { return std::string(row.param.name); });
