#pragma once

#include "Support/TempTree.h"

#include <filesystem>
#include <vector>

// A home as a user who keeps backups has it, made by hand as the tools leave it: live Music and
// Documents; an rsnapshot rotation (a copy, then `cp -al` and a fresh copy of what changed since:
// a song, and a note alone in its folder); `rsync --link-dest` generations of Documents (the second links what did not change
// and copies the one document that did); and a `cp -a` copy of Pictures made later on the Desktop.
// Every copy keeps its original's date.
struct BackupHome {
    explicit BackupHome(const TempTree& home);

    std::vector<std::filesystem::path> live;      // four songs, the note, three documents
    std::vector<std::filesystem::path> backups;   // every name under Backups
    std::vector<std::filesystem::path> pictures;  // the originals, born first
    std::vector<std::filesystem::path> picturesCopies;
};
