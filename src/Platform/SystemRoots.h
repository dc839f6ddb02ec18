#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Every place on the machine that a stand-in reads from. The running app uses machine(); tests
// install a fixture tree so that nothing reads this machine's own state.
struct SystemRoots {
    std::filesystem::path root = "/";
    std::filesystem::path proc = "/proc";
    std::filesystem::path sys = "/sys";
    std::filesystem::path home;
    std::filesystem::path cacheHome;   // $XDG_CACHE_HOME, ~/.cache
    std::filesystem::path configHome;  // $XDG_CONFIG_HOME, ~/.config
    std::filesystem::path dataHome;    // $XDG_DATA_HOME, ~/.local/share
    std::filesystem::path stateHome;   // $XDG_STATE_HOME, ~/.local/state
    std::filesystem::path downloads;   // XDG_DOWNLOAD_DIR from user-dirs.dirs, ~/Downloads
    std::filesystem::path desktop;     // XDG_DESKTOP_DIR from user-dirs.dirs, ~/Desktop
    std::filesystem::path templates;   // XDG_TEMPLATES_DIR from user-dirs.dirs, ~/Templates
    // The user's own folders from user-dirs.dirs: desktop, documents, downloads, music, pictures,
    // videos, templates and public share.
    std::vector<std::filesystem::path> userFolders;
    std::vector<std::filesystem::path> dataDirs;  // $XDG_DATA_DIRS, /usr/local/share:/usr/share
    std::vector<std::filesystem::path> configDirs;  // $XDG_CONFIG_DIRS, /etc/xdg

    // The real machine, from the environment and the XDG conventions.
    static SystemRoots machine();
    // Everything below one folder: <dir>/proc, <dir>/sys, <dir>/home with its XDG folders, <dir>/usr/share,
    // <dir>/etc/xdg.
    static SystemRoots fixture(const std::filesystem::path& dir);

    // Where a path as the machine names it ("/usr/bin/x") lies below `root`.
    std::filesystem::path underRoot(const std::filesystem::path& machinePath) const { return root / machinePath.relative_path(); }
    // What the machine calls a place below `root`: the fixture's home is "/home" to what it runs.
    std::string machinePath(const std::filesystem::path& place) const {
        return (std::filesystem::path("/") / place.lexically_relative(root)).lexically_normal().native();
    }

    // The home folder, a user folder, or a folder holding one: never proposed for removal.
    bool holdsPersonalFolder(const std::filesystem::path& path) const;

    static SystemRoots current();
    static void install(SystemRoots roots);
};
