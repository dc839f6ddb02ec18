#pragma once

#include "Platform/SystemRoots.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The installed applications as the desktop lists them (the .desktop entries of the XDG
// applications folders), indexed by what a running process can be known by: the program the
// entry starts (its Exec program found through the search path), its StartupWMClass, and its
// Flatpak application id. Linux's counterpart of telling processes by their application bundle.
class DesktopApplications {
public:
    struct Application {
        std::string id;    // the desktop-file id, "org.gnome.Calculator.desktop"
        std::string name;  // Name in the app's language, else Name
        std::string icon;  // Icon: a theme name or an absolute file; empty when none
    };

    DesktopApplications(SystemRoots roots, std::vector<std::filesystem::path> searchPath);

    // The folders of $PATH, in order.
    static std::vector<std::filesystem::path> environmentSearchPath();

    // Reads the entries again when an applications folder changed since the last reading (an
    // application installed or removed). True when it read them.
    bool refresh();

    // The application of a program (its path as the exe link gives it), else of a Flatpak sandbox;
    // null for a program no entry starts.
    const Application* match(std::string_view programPath, std::optional<std::string_view> flatpakId) const;
    bool hasFlatpakApplications() const { return !byFlatpak_.empty(); }

private:
    void read();
    std::optional<std::string> resolve(const std::string& program) const;

    SystemRoots roots_;
    std::vector<std::filesystem::path> searchPath_;
    std::vector<std::filesystem::path> folders_;  // the user's first: its entries hide the system's of the same id
    std::vector<std::filesystem::file_time_type> folderTimes_;
    std::vector<Application> applications_;
    std::unordered_map<std::string, size_t> byProgram_;
    std::unordered_map<std::string, size_t> byWindowClass_;  // lower case
    std::unordered_map<std::string, size_t> byFlatpak_;
};
