#include "Platform/LinuxLocations.h"

#include <dirent.h>

#include <algorithm>
#include <array>
#include <string>

namespace fs = std::filesystem;

namespace {

enum class Place {
    none,
    autostart,        // $XDG_CONFIG_HOME/autostart
    systemAutostart,  // autostart in every $XDG_CONFIG_DIRS folder
    enabledUnits,     // /etc/systemd/system/*.target.wants
    systemApplications,  // applications in every $XDG_DATA_DIRS folder
    userApplications,    // $XDG_DATA_HOME/applications
    dataHome,
    cacheHome,
    configHome,
    stateHome,
    flatpakApps,  // ~/.var/app
    downloads,    // XDG_DOWNLOAD_DIR
};

struct Row {
    std::string_view original;
    Place place;
    std::string_view startupExtension;
    std::string_view linuxName = {};  // where the tool's own folder is named differently on Linux
};

constexpr std::array rows{
    Row{"Library/LaunchAgents", Place::autostart, "desktop"},
    Row{"/Library/LaunchAgents", Place::systemAutostart, "desktop"},
    Row{"/Library/LaunchDaemons", Place::enabledUnits, "service"},
    Row{"/Applications", Place::systemApplications, {}},
    Row{"Applications", Place::userApplications, {}},
    Row{"Library/Application Support", Place::dataHome, {}},
    Row{"Library/Caches", Place::cacheHome, {}},
    Row{"Library/Preferences", Place::configHome, {}},
    Row{"Library/Saved Application State", Place::stateHome, {}},
    Row{"Library/Containers", Place::flatpakApps, {}},
    Row{"Library/Group Containers", Place::none, {}},
    Row{"Library/Logs", Place::none, {}},
    Row{"Library/Caches/Yarn", Place::cacheHome, {}, "yarn"},
    Row{"Library/Caches/com.docker.docker", Place::none, {}},
    Row{"Library/Developer", Place::none, {}},
    Row{"Library", Place::none, {}},
    Row{"Downloads", Place::downloads, {}},
};

const Row* rowFor(std::string_view original) {
    for (const Row& row : rows)
        if (row.original == original) return &row;
    return nullptr;
}

// "a/b/c" lies in "a" and in "a/b", not in "a/bc".
bool liesIn(std::string_view name, std::string_view folder) {
    return name.size() > folder.size() && name.starts_with(folder) && name[folder.size()] == '/';
}

// The row of the nearest folder that holds `original`, and the rest of the name below it.
const Row* enclosingRow(std::string_view original, std::string_view& rest) {
    const Row* best = nullptr;
    for (const Row& row : rows) {
        if (liesIn(original, row.original) && (!best || row.original.size() > best->original.size())) best = &row;
    }
    if (best) rest = original.substr(best->original.size() + 1);
    return best;
}

// Every "<unit>.target.wants" folder of /etc/systemd/system, by name.
std::vector<fs::path> enabledUnitFolders(const fs::path& root) {
    const fs::path system = root / "etc/systemd/system";
    std::vector<fs::path> found;
    DIR* folder = ::opendir(system.c_str());
    if (!folder) return found;
    while (dirent* entry = ::readdir(folder)) {
        if (std::string_view(entry->d_name).ends_with(".target.wants")) found.push_back(system / entry->d_name);
    }
    ::closedir(folder);
    std::sort(found.begin(), found.end());
    return found;
}

std::vector<fs::path> baseFolders(Place place, const SystemRoots& roots) {
    switch (place) {
    case Place::none: return {};
    case Place::autostart: return {roots.configHome / "autostart"};
    case Place::systemAutostart: {
        std::vector<fs::path> found;
        for (const auto& dir : roots.configDirs) found.push_back(dir / "autostart");
        return found;
    }
    case Place::enabledUnits: return enabledUnitFolders(roots.root);
    case Place::systemApplications: {
        std::vector<fs::path> found;
        for (const auto& dir : roots.dataDirs) found.push_back(dir / "applications");
        return found;
    }
    case Place::userApplications: return {roots.dataHome / "applications"};
    case Place::dataHome: return {roots.dataHome};
    case Place::cacheHome: return {roots.cacheHome};
    case Place::configHome: return {roots.configHome};
    case Place::stateHome: return {roots.stateHome};
    case Place::flatpakApps: return {roots.home / ".var/app"};
    case Place::downloads: return {roots.downloads};
    }
    return {};
}

std::vector<fs::path> placeFolders(const Row& row, const SystemRoots& roots) {
    std::vector<fs::path> found = baseFolders(row.place, roots);
    if (!row.linuxName.empty())
        for (fs::path& folder : found) folder /= std::string(row.linuxName);
    return found;
}

}  // namespace

namespace LinuxLocations {

std::vector<fs::path> folders(std::string_view original, const SystemRoots& roots) {
    if (const Row* row = rowFor(original)) return placeFolders(*row, roots);
    std::string_view rest;
    if (const Row* row = enclosingRow(original, rest)) {
        std::vector<fs::path> found = placeFolders(*row, roots);
        for (fs::path& folder : found) folder /= std::string(rest);
        return found;
    }
    // The developer tools' dot folders (".npm", ".gradle") are where they are on every system.
    if (!original.empty() && original[0] != '/') return {roots.home / std::string(original)};
    return {};
}

std::string_view enabledStartupExtension(std::string_view original) {
    const Row* row = rowFor(original);
    return row ? row->startupExtension : std::string_view();
}

std::string itemName(std::string_view stem, std::string_view) {
    return std::string(stem);
}

// What GNOME, KDE Plasma, Xfce and Cinnamon keep in a home folder: the session's own state, shared
// by every application, whatever an application's name ("session" is Plasma's, not the Session
// messenger's).
constexpr auto desktopConfig = std::to_array<std::string_view>({
    "autostart", "systemd", "environment.d", "user-dirs.dirs", "user-dirs.locale", "mimeapps.list", "menus", "session", "pulse", "pipewire",
    "wireplumber", "dconf", "gtk-2.0", "gtk-3.0", "gtk-4.0", "fontconfig", "ibus", "xsettingsd", "xdg-desktop-portal", "monitors.xml", "goa-1.0",
    "enchant", "gnome-session", "gnome-initial-setup-done", "xfce4", "Thunar", "cinnamon", "cinnamon-session", "nemo", "kdeglobals", "kdedefaults",
    "plasma-workspace", "plasmarc", "plasmashellrc", "plasma-org.kde.plasma.desktop-appletsrc", "plasma-localerc", "plasmanotifyrc", "kwinrc",
    "kwinoutputconfig.json", "kglobalshortcutsrc", "khotkeysrc", "ksmserverrc", "kscreenlockerrc", "kcminputrc", "kxkbrc", "kded5rc", "kded6rc",
    "kwalletrc", "kactivitymanagerdrc", "kactivitymanagerd-statsrc", "baloofilerc", "powermanagementprofilesrc", "powerdevilrc", "krunnerrc",
    "ksplashrc", "kaccessrc", "kconf_update_log", "kdeconnect", "gtkrc", "gtkrc-2.0", "Trolltech.conf", "QtProject.conf", "kde.org", "KDE",
    "xdg-desktop-portal-kde", "kiorc", "klaunchrc",
});
constexpr auto desktopData = std::to_array<std::string_view>({
    "Trash", "applications", "icons", "fonts", "mime", "themes", "sounds", "desktop-directories", "backgrounds", "wallpapers", "color-schemes",
    "keyrings", "recently-used.xbel", "user-places.xbel", "gvfs-metadata", "tracker", "tracker3", "gnome-shell", "gnome-settings-daemon",
    "gnome-background-properties", "icc", "xorg", "kwalletd", "baloo", "kactivitymanagerd", "plasma", "plasmashell", "plasma-systemmonitor",
    "kscreen", "kded5", "kded6", "kxmlgui5", "klipper", "kwin", "xfce4", "cinnamon", "nemo",
});
constexpr auto desktopCache = std::to_array<std::string_view>({
    "thumbnails", "fontconfig", "sessions", "ibus", "dconf", "gstreamer-1.0", "mesa_shader_cache", "tracker3", "plasmashell", "kwin", "xfce4",
    "cinnamon",
});
constexpr auto desktopState = std::to_array<std::string_view>({"wireplumber", "pipewire", "gnome-shell", "kwalletd", "xfce4"});

// Folders of the cache folder that hold what their programs do not rebuild by themselves and nothing
// on disk marks: models downloaded on request, a login token, files waiting to upload. Programs, an
// IDE's local history and a search index's settings are told by what the folder holds.
constexpr auto keptInCache = std::to_array<std::string_view>({"huggingface", "torch", "whisper", "lm-studio", "rclone"});

bool isKeptByItsProgram(const fs::path& path, const SystemRoots& roots) {
    const fs::path normal = path.lexically_normal();
    return normal.parent_path() == roots.cacheHome.lexically_normal() &&
           std::find(keptInCache.begin(), keptInCache.end(), normal.filename().native()) != keptInCache.end();
}

// The desktop's caches that it fills again by itself as files are shown: the thumbnails.
constexpr auto desktopRebuilt = std::to_array<std::string_view>({"thumbnails"});

bool isRebuiltByTheDesktop(const fs::path& path, const SystemRoots& roots) {
    const fs::path normal = path.lexically_normal();
    return normal.parent_path() == roots.cacheHome.lexically_normal() &&
           std::find(desktopRebuilt.begin(), desktopRebuilt.end(), normal.filename().native()) != desktopRebuilt.end();
}

bool isSharedFolder(const fs::path& path, const SystemRoots& roots) {
    const fs::path normal = path.lexically_normal();
    auto keptIn = [&](const fs::path& base, const auto& names) {
        return normal.parent_path() == base.lexically_normal() && std::find(names.begin(), names.end(), normal.filename().native()) != names.end();
    };
    return keptIn(roots.configHome, desktopConfig) || keptIn(roots.dataHome, desktopData) || keptIn(roots.cacheHome, desktopCache) ||
           keptIn(roots.stateHome, desktopState);
}

}  // namespace LinuxLocations
