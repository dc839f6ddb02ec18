#pragma once

#include "Models/SearchHit.h"

#include <QString>

#include <cstdint>
#include <filesystem>
#include <optional>

// A hit as a search reports it: its path and size, and where given, when it changed and its kind.
inline SearchHit searchHit(const std::filesystem::path& path, std::int64_t size, std::optional<double> unixSeconds = std::nullopt,
                           const QString& kind = {}) {
    SearchHit found;
    found.path = path;
    found.size = size;
    if (unixSeconds) found.modifiedAt = Instant::fromUnixSeconds(*unixSeconds);
    found.kind = kind;
    return found;
}
