#include "Platform/SystemRoots.h"

#include "Foundation/LiesWithin.h"
#include "Platform/RealPath.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>

namespace {

std::mutex rootsMutex;

std::filesystem::path environmentPath(const char* name, const std::filesystem::path& fallback) {
    const char* value = std::getenv(name);
    // XDG says relative values are invalid and must be ignored.
    if (value && value[0] == '/') return value;
    return fallback;
}

std::filesystem::path homeFolder() {
    const char* home = std::getenv("HOME");
    return (home && home[0] == '/') ? std::filesystem::path(home) : std::filesystem::path("/");
}

struct UserFolder {
    const char* key;
    const char* fallback;
};

constexpr std::size_t desktopFolderIndex = 0;
constexpr std::size_t downloadFolderIndex = 2;
constexpr std::size_t templatesFolderIndex = 6;
constexpr UserFolder userFolderKeys[] = {
    {"XDG_DESKTOP_DIR", "Desktop"}, {"XDG_DOCUMENTS_DIR", "Documents"}, {"XDG_DOWNLOAD_DIR", "Downloads"},
    {"XDG_MUSIC_DIR", "Music"},     {"XDG_PICTURES_DIR", "Pictures"},   {"XDG_VIDEOS_DIR", "Videos"},
    {"XDG_TEMPLATES_DIR", "Templates"}, {"XDG_PUBLICSHARE_DIR", "Public"},
};

// XDG_DOCUMENTS_DIR="$HOME/Documents" and the like in user-dirs.dirs, in the order of the keys above;
// only the $HOME form and absolute paths are valid.
std::vector<std::filesystem::path> userFolderPaths(const std::filesystem::path& home, const std::filesystem::path& configHome) {
    std::vector<std::filesystem::path> folders;
    for (const UserFolder& folder : userFolderKeys) folders.push_back(home / folder.fallback);
    std::ifstream file(configHome / "user-dirs.dirs");
    for (std::string line; std::getline(file, line);) {
        for (size_t i = 0; i < std::size(userFolderKeys); ++i) {
            const std::string prefix = std::string(userFolderKeys[i].key) + "=\"";
            if (!line.starts_with(prefix) || line.size() < prefix.size() + 1 || line.back() != '"') continue;
            const std::string value = line.substr(prefix.size(), line.size() - prefix.size() - 1);
            if (value.starts_with("$HOME/")) folders[i] = home / value.substr(6);
            else if (!value.empty() && value[0] == '/') folders[i] = value;
        }
    }
    return folders;
}

// An XDG base folder that is the home folder, holds it or a user folder, or lies in a user folder
// would put the user's own files on removal lists: the default is used instead.
std::filesystem::path usableBaseFolder(const SystemRoots& roots, const std::filesystem::path& base, const std::filesystem::path& fallback) {
    const std::filesystem::path folder = comparableFolder(base);
    const std::filesystem::path home = comparableFolder(roots.home);
    // A user folder set to the home folder itself ("$HOME/" turns the desktop folder off) holds
    // every base folder; only the user's own folders below the home count here.
    const bool insideUserFolder = std::any_of(roots.userFolders.begin(), roots.userFolders.end(), [&](const std::filesystem::path& user) {
        const std::filesystem::path userFolder = comparableFolder(user);
        return !liesWithin(home, userFolder) && liesWithin(folder, userFolder);
    });
    return roots.holdsPersonalFolder(base) || insideUserFolder ? fallback : base;
}

// The absolute folders of a colon-separated XDG search path, in order; `fallback` when it is unset or empty.
std::vector<std::filesystem::path> searchFolders(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    std::vector<std::filesystem::path> dirs;
    std::string list = (value && *value) ? value : fallback;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(':', start);
        if (end == std::string::npos) end = list.size();
        std::string item = list.substr(start, end - start);
        if (!item.empty() && item[0] == '/') dirs.emplace_back(item);
        start = end + 1;
    }
    return dirs;
}

SystemRoots& installed() {
    static SystemRoots roots = SystemRoots::machine();
    return roots;
}

}  // namespace

SystemRoots SystemRoots::machine() {
    SystemRoots roots;
    roots.home = homeFolder();
    roots.configHome = environmentPath("XDG_CONFIG_HOME", roots.home / ".config");
    roots.userFolders = userFolderPaths(roots.home, roots.configHome);
    const std::filesystem::path configHome = usableBaseFolder(roots, roots.configHome, roots.home / ".config");
    if (configHome != roots.configHome) roots.userFolders = userFolderPaths(roots.home, roots.configHome = configHome);
    roots.cacheHome = usableBaseFolder(roots, environmentPath("XDG_CACHE_HOME", roots.home / ".cache"), roots.home / ".cache");
    roots.dataHome = usableBaseFolder(roots, environmentPath("XDG_DATA_HOME", roots.home / ".local/share"), roots.home / ".local/share");
    roots.stateHome = usableBaseFolder(roots, environmentPath("XDG_STATE_HOME", roots.home / ".local/state"), roots.home / ".local/state");
    roots.downloads = roots.userFolders[downloadFolderIndex];
    roots.desktop = roots.userFolders[desktopFolderIndex];
    roots.templates = roots.userFolders[templatesFolderIndex];
    roots.dataDirs = searchFolders("XDG_DATA_DIRS", "/usr/local/share:/usr/share");
    roots.configDirs = searchFolders("XDG_CONFIG_DIRS", "/etc/xdg");
    return roots;
}

SystemRoots SystemRoots::fixture(const std::filesystem::path& dir) {
    SystemRoots roots;
    roots.root = dir;
    roots.proc = dir / "proc";
    roots.sys = dir / "sys";
    roots.home = dir / "home";
    roots.cacheHome = roots.home / ".cache";
    roots.configHome = roots.home / ".config";
    roots.dataHome = roots.home / ".local/share";
    roots.stateHome = roots.home / ".local/state";
    roots.userFolders = userFolderPaths(roots.home, roots.configHome);
    roots.downloads = roots.userFolders[downloadFolderIndex];
    roots.desktop = roots.userFolders[desktopFolderIndex];
    roots.templates = roots.userFolders[templatesFolderIndex];
    roots.dataDirs = {dir / "usr/local/share", dir / "usr/share"};
    roots.configDirs = {dir / "etc/xdg"};
    return roots;
}

bool SystemRoots::holdsPersonalFolder(const std::filesystem::path& path) const {
    const std::filesystem::path folder = comparableFolder(path);
    if (liesWithin(comparableFolder(home), folder)) return true;
    return std::any_of(userFolders.begin(), userFolders.end(), [&](const std::filesystem::path& user) { return liesWithin(comparableFolder(user), folder); });
}

SystemRoots SystemRoots::current() {
    std::lock_guard lock(rootsMutex);
    return installed();
}

void SystemRoots::install(SystemRoots roots) {
    std::lock_guard lock(rootsMutex);
    installed() = std::move(roots);
}
