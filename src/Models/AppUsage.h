#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

// The load of one application: the processes of one installed desktop application, or else every
// process running the same program name.
struct AppUsage {
    std::string id;    // the desktop-file id ("org.gnome.Calculator.desktop"), else the program's name (bytes)
    std::string name;  // the application's name, else the program's name
    std::filesystem::path iconPath;  // the program of the first process seen
    std::string iconName;  // the desktop entry's Icon: a theme icon name or an absolute file; empty for none
    int processCount = 0;
    double cpu = 0;  // share of the whole machine, 0 to 1
    std::uint64_t memory = 0;  // what its processes hold, bytes: never more than the machine has in use
    std::uint64_t diskWritePerSecond = 0;

    bool operator==(const AppUsage&) const = default;
};
