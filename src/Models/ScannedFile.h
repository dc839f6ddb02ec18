#pragma once

#include "Foundation/Instant.h"
#include "Foundation/Uuid.h"
#include "Foundation/FileIdentity.h"
#include "Models/UntickedReason.h"
#include "Models/FreedSpace.h"
#include "Models/TrashFigures.h"

#include <QString>

#include <cstdint>
#include <filesystem>
#include <optional>

// One file of a result list: largest files, duplicate copies, forgotten files.
struct ScannedFile {
    Uuid id = Uuid::random();  // new for every value, so two listings of one file are distinct rows
    std::filesystem::path path;
    std::int64_t size = 0;  // allocated size: what the file takes on disk
    std::optional<Instant> modifiedAt;
    QString kind;
    // The file as it was listed, for the tools that move it later; none where nothing acts on it.
    std::optional<FileIdentity> identity = {};
    // Of `size`, the bytes whose blocks other files share (a reflinked copy's, a file system
    // snapshot's), which moving this file leaves in place. Read for duplicate copies and forgotten files.
    std::int64_t sharedBytes = 0;
    // Some of its blocks are compressed on disk: moving it frees at most `size`.
    bool compressed = false;
    // Of a duplicate copy: why the finder ticks nothing of its group, set where the group is made.
    std::optional<UntickedReason> untickedReason = {};
    // Of a duplicate copy left unticked for where it lies: the install or application folder that
    // holds it, where one is known.
    std::filesystem::path untickedWithin = {};
    // Of a duplicate copy: it lies where files pass through (Downloads, the Desktop), so a copy
    // elsewhere is the one kept.
    bool inPassingFolder = false;

    // What moving this name, alone or with others, frees.
    FreedSpace freed() const { return FreedSpace::ofName(identity, size, sharedBytes, compressed); }
    // What moving this name moves to the Trash and what that frees.
    TrashFigures::Item trashItem() const { return {size, freed()}; }

    bool operator==(const ScannedFile&) const = default;
};
