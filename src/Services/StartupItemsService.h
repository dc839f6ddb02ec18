#pragma once

#include "Models/StartupItem.h"
#include "Services/StartupError.h"

#include <mutex>
#include <vector>

// Lists the programs the system starts at login or boot, and switches the user's own ones off and
// on by renaming their files. Reads the folders afresh on every call; calls never overlap.
class StartupItemsService {
public:
    // Ordered by name as a file browser orders names; never fails.
    std::vector<StartupItem> items();

    // Renames the item's file to carry the extension of the wanted state, never replacing another
    // file. Throws StartupError for an item the user may not change, std::system_error when the
    // rename fails (the file then stays where it was).
    void setEnabled(const StartupItem& item, bool enabled);

private:
    std::mutex mutex_;
};
