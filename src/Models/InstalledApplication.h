#pragma once

#include "Models/RunnerKind.h"

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
    // What is proposed leaves the application installed: no program of its own goes with it (a
    // package, a store, a runner or another entry keeps it), or its entry masks another of its ID.
    bool staysInstalled = false;
    // Its entry starts a program that is not there: moving the entry takes away a launcher only.
    bool programNotFound = false;
    // What in the session runs its program (a systemd unit, a D-Bus service, the crontab, a shell's
    // startup file), which keeps it installed; empty when nothing does.
    std::filesystem::path runBy = {};
    RunnerKind runByKind = RunnerKind::service;

    bool operator==(const InstalledApplication&) const = default;
};
