#pragma once

#include "Platform/DirectoryEntry.h"

// What a walk counts and enters: files and directories, hidden ones (a leading dot: Linux has no
// hidden flag) only when asked for; never symbolic links or other kinds.
inline bool passesWalkFilter(const DirectoryEntry& entry, bool includeHidden) {
    if (entry.type == DirectoryEntry::Kind::other) return false;
    if (!includeHidden && !entry.name.empty() && entry.name[0] == '.') return false;
    return true;
}
