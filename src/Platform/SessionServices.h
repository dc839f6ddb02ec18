#pragma once

#include "Models/RunnerKind.h"
#include "Platform/DesktopEntry.h"
#include "Platform/SystemRoots.h"

#include <filesystem>
#include <vector>

// What runs programs in the user's session outside the desktop's entries, read as desktop entries, so
// that what they run and name counts as what an entry runs and names: systemd user units
// (~/.config/systemd/user/*.service and the units enabled in its *.wants folders), D-Bus session
// services (~/.local/share/dbus-1/services), Plasma's autostart scripts (~/.config/autostart-scripts),
// the lines of the user's crontab, and the shells' startup files, whose aliases, functions and
// commands run programs whenever a shell or a session starts.
struct SessionService {
    // The unit, service file or script, as it lies; for the crontab, the tool that lists it.
    std::filesystem::path file;
    RunnerKind kind = RunnerKind::service;
    // Its commands as the entry's Exec and its actions' (a unit's ExecStart first, then its other
    // Exec lines), its working folder as Path; a unit's specifiers resolved.
    DesktopEntry entry;

    // Every one found; a file that cannot be read adds nothing.
    static std::vector<SessionService> of(const SystemRoots& roots);
};
