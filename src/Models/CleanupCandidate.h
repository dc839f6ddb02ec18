#pragma once

#include "Foundation/FileIdentity.h"
#include "Models/CleanupReason.h"
#include "Models/CleanupSafety.h"
#include "Models/FreedSpace.h"
#include "Models/TrashFigures.h"

#include <QString>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

// An item proposed for removal by smart cleanup or the developer-cache tool.
struct CleanupCandidate {
    std::string id;  // the location's path; the key of the user's selection
    QString titleKey;
    QString detailKey;
    std::filesystem::path path;
    std::int64_t size = 0;  // allocated bytes, a file of several names beneath it counted once
    CleanupSafety safety = CleanupSafety::review;
    QString kind;
    // The file or folder as it was listed, for the move to check against (a folder by what it is,
    // not by its contents, which change as it is used); none for anything else.
    std::optional<FileIdentity> identity = {};
    // What moving it, with or without other candidates, frees.
    FreedSpace freed = {};
    // Why it is to be reviewed rather than ticked, and what that names: the text key of the kind of
    // whole it holds, the file of the entry or script that runs a program in it, the program that
    // holds it open, the folder a link into it lies in, the folder the user may not change, the
    // editor's file it holds.
    CleanupReason reason = CleanupReason::none;
    QString reasonDetail = {};
    // Folders beneath it that could not be read: its size is then only what could be.
    int unreadableFolders = 0;

    // What it moves to the Trash and what that frees.
    TrashFigures::Item trashItem() const { return {size, freed}; }

    bool operator==(const CleanupCandidate&) const = default;
};
