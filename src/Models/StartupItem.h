#pragma once

#include "Foundation/FileIdentity.h"

#include <QString>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

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
    // Why the running desktop does not start it, though it would start under others (OnlyShowIn,
    // NotShowIn); empty when that is not so.
    QString desktopNote = {};
    // The item's other files in the user's folder, switched off by hand or named so that the desktop
    // does not read them: one row names them all, and the switch acts on `path`.
    std::vector<std::filesystem::path> otherFiles = {};

    // Only a user's entry that the desktop reads, and that this desktop would start, can be switched:
    // it alone would then start or not.
    bool isSwitchable() const { return canChange && readingProblem.isEmpty() && desktopNote.isEmpty(); }

    bool operator==(const StartupItem&) const = default;
};
