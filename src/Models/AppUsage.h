#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

// The load of one application: every process running the same program name.
struct AppUsage {
    std::string id;    // the program's name (bytes)
    std::string name;  // the same name, shown
    std::filesystem::path iconPath;  // the program of the first process seen; the view finds its icon
    int processCount = 0;
    double cpu = 0;  // share of the whole machine, 0 to 1
    std::uint64_t memory = 0;  // resident bytes
    std::uint64_t diskWritePerSecond = 0;

    bool operator==(const AppUsage&) const = default;
};
