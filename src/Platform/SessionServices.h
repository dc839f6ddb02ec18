#pragma once

#include "Platform/DesktopEntry.h"
#include "Platform/SystemRoots.h"

#include <filesystem>
#include <vector>

// The services of the user's session, read as desktop entries, so that what they run and name
// counts as what an entry runs and names: systemd user units (~/.config/systemd/user/*.service and
// the units enabled in its *.wants folders), D-Bus session services (~/.local/share/dbus-1/services)
// and Plasma's autostart scripts (~/.config/autostart-scripts).
struct SessionService {
    std::filesystem::path file;  // the unit, service file or script, as it lies
    // Its commands as the entry's Exec and its actions' (a unit's ExecStart first, then its other
    // Exec lines), its working folder as Path; a unit's specifiers resolved.
    DesktopEntry entry;

    // Every one found; a file that cannot be read adds nothing.
    static std::vector<SessionService> of(const SystemRoots& roots);
};
