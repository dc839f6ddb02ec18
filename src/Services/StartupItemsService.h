#pragma once

#include "Models/StartupItem.h"
#include "Services/StartupError.h"

#include <mutex>
#include <vector>

// Lists the programs the system starts at login or boot, and switches the user's own ones off and
// on. An item shows what the desktop will do at the next login: a user's entry replaces the system's
// of the same name, and an entry's own keys can keep it from starting. Reads the folders afresh on
// every call; calls never overlap.
class StartupItemsService {
public:
    // Ordered by name as a file browser orders names; never fails.
    std::vector<StartupItem> items();

    // Makes the desktop do the opposite at the next login, and nothing else. Off renames the entry
    // to ".disabled", unless it replaces a system entry, which would then start: such an entry keeps
    // its name and is marked hidden. On renames it back and clears the keys that keep it from
    // starting; a bare mask over a system entry goes to the Trash. Every other byte of an entry is
    // kept, and nothing is replaced or written through a link. Throws StartupError for an item the
    // user may not change, one that is no longer the file or state listed, or a change the desktop
    // would not follow; std::system_error when the file system refuses (nothing then changed).
    void setEnabled(const StartupItem& item, bool enabled);

private:
    std::mutex mutex_;
};
