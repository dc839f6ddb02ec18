#pragma once

#include "Foundation/FileIdentity.h"

#include <QString>

#include <filesystem>
#include <optional>
#include <string>

// One program the system starts at login or boot.
struct StartupItem {
    std::string id;  // the path of its file
    QString name;
    std::filesystem::path path;
    QString program;
    bool isEnabled = false;  // whether the desktop starts it at the next login
    bool canChange = false;  // only the user's own items
    std::optional<FileIdentity> identity;  // the file as listed; a switch acts only on that very file
    bool isKnown = true;      // false: the file could not be read, so whether it starts is not known
    QString readingProblem;  // why the desktop cannot read the file, or we could not; empty when read

    // Only a user's entry that the desktop reads can be switched: it alone would then start or not.
    bool isSwitchable() const { return canChange && readingProblem.isEmpty(); }

    bool operator==(const StartupItem&) const = default;
};
