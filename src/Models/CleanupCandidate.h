#pragma once

#include "Models/CleanupSafety.h"

#include <QString>

#include <cstdint>
#include <filesystem>
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

    bool operator==(const CleanupCandidate&) const = default;
};
