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
    systemAutostart,  // /etc/xdg/autostart
    enabledUnits,     // /etc/systemd/system/*.target.wants
    systemApplications,  // applications in every $XDG_DATA_DIRS folder
    userApplications,    // $XDG_DATA_HOME/applications
    dataHome,
    cacheHome,
    configHome,
    stateHome,
    flatpakApps,  // ~/.var/app
};

struct Row {
    std::string_view original;
    Place place;
    std::string_view startupExtension;
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
};

const Row* rowFor(std::string_view original) {
    for (const Row& row : rows)
        if (row.original == original) return &row;
    return nullptr;
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

}  // namespace

namespace LinuxLocations {

std::vector<fs::path> folders(std::string_view original, const SystemRoots& roots) {
    const Row* row = rowFor(original);
    switch (row ? row->place : Place::none) {
    case Place::none: return {};
    case Place::autostart: return {roots.configHome / "autostart"};
    case Place::systemAutostart: return {roots.root / "etc/xdg/autostart"};
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
    }
    return {};
}

std::string_view enabledStartupExtension(std::string_view original) {
    const Row* row = rowFor(original);
    return row ? row->startupExtension : std::string_view();
}

std::string itemName(std::string_view stem, std::string_view) {
    return std::string(stem);
}

bool isSharedFolder(const fs::path& path, const SystemRoots& roots) {
    const std::array shared{
        roots.dataHome / "Trash", roots.dataHome / "applications", roots.dataHome / "icons", roots.dataHome / "fonts",
        roots.dataHome / "mime", roots.dataHome / "themes", roots.dataHome / "sounds", roots.dataHome / "desktop-directories",
        roots.configHome / "autostart", roots.configHome / "systemd", roots.configHome / "environment.d",
        roots.configHome / "user-dirs.dirs", roots.configHome / "mimeapps.list", roots.cacheHome / "thumbnails",
    };
    const fs::path normal = path.lexically_normal();
    return std::find(shared.begin(), shared.end(), normal) != shared.end();
}

}  // namespace LinuxLocations
