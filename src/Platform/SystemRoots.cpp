#include "Platform/SystemRoots.h"

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

// XDG_DOWNLOAD_DIR="$HOME/Downloads" in user-dirs.dirs; only the $HOME form and absolute paths are valid.
std::filesystem::path downloadFolder(const std::filesystem::path& home, const std::filesystem::path& configHome) {
    std::ifstream file(configHome / "user-dirs.dirs");
    std::string line;
    const std::string prefix = "XDG_DOWNLOAD_DIR=\"";
    while (std::getline(file, line)) {
        if (line.rfind(prefix, 0) != 0 || line.size() < prefix.size() + 1 || line.back() != '"') continue;
        std::string value = line.substr(prefix.size(), line.size() - prefix.size() - 1);
        if (value.rfind("$HOME/", 0) == 0) return home / value.substr(6);
        if (!value.empty() && value[0] == '/') return value;
    }
    return home / "Downloads";
}

std::vector<std::filesystem::path> dataFolders() {
    const char* value = std::getenv("XDG_DATA_DIRS");
    std::vector<std::filesystem::path> dirs;
    std::string list = (value && *value) ? value : "/usr/local/share:/usr/share";
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
    roots.cacheHome = environmentPath("XDG_CACHE_HOME", roots.home / ".cache");
    roots.configHome = environmentPath("XDG_CONFIG_HOME", roots.home / ".config");
    roots.dataHome = environmentPath("XDG_DATA_HOME", roots.home / ".local/share");
    roots.stateHome = environmentPath("XDG_STATE_HOME", roots.home / ".local/state");
    roots.downloads = downloadFolder(roots.home, roots.configHome);
    roots.dataDirs = dataFolders();
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
    roots.downloads = roots.home / "Downloads";
    roots.dataDirs = {dir / "usr/local/share", dir / "usr/share"};
    return roots;
}

SystemRoots SystemRoots::current() {
    std::lock_guard lock(rootsMutex);
    return installed();
}

void SystemRoots::install(SystemRoots roots) {
    std::lock_guard lock(rootsMutex);
    installed() = std::move(roots);
}
