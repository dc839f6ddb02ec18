#pragma once

#include "Foundation/FileIdentity.h"
#include "Models/CleanupSafety.h"

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
    std::int64_t size = 0;  // allocated bytes
    CleanupSafety safety = CleanupSafety::review;
    QString kind;
    // A file as it was listed, for the move to check against; folders change as they are used and
    // carry none.
    std::optional<FileIdentity> identity = {};

    bool operator==(const CleanupCandidate&) const = default;
};
