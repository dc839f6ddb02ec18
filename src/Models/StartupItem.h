#pragma once

#include <QString>

#include <filesystem>
#include <string>

// One program the system starts at login or boot.
struct StartupItem {
    std::string id;  // the path of its file
    QString name;
    std::filesystem::path path;
    QString program;
    bool isEnabled = false;
    bool canChange = false;  // only the user's own items

    bool operator==(const StartupItem&) const = default;
};
