#pragma once

#include <QString>

#include <cstdint>
#include <filesystem>
#include <string>

// One installed application.
struct InstalledApplication {
    std::string id;  // its path
    QString name;
    QString bundleIdentifier;
    QString version;
    std::filesystem::path url;
    std::int64_t size = 0;  // allocated bytes

    bool operator==(const InstalledApplication&) const = default;
};
