#pragma once

#include <QString>

#include <cstdint>
#include <filesystem>
#include <string>

// One installed application.
struct InstalledApplication {
    std::string id;  // its path
    QString name;
    QString desktopFileID;
    QString version;
    std::filesystem::path path;
    std::int64_t size = 0;  // allocated bytes
    std::string iconName;  // the desktop entry's Icon: a theme name or an absolute file
    // Whatever is moved, the application stays: its entry masks another of its desktop-file ID.
    bool staysInstalled = false;

    bool operator==(const InstalledApplication&) const = default;
};
