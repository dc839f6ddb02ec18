#pragma once

#include "Foundation/Instant.h"
#include "Foundation/Uuid.h"

#include <QString>

#include <cstdint>
#include <filesystem>
#include <optional>

// One result of a file search; a record of its own, not interchangeable with ScannedFile.
struct SearchHit {
    Uuid id = Uuid::random();  // new for every value, so two listings of one file are distinct rows
    std::filesystem::path path;
    std::int64_t size = 0;  // as the search measures it
    std::optional<Instant> modifiedAt;
    QString kind;

    bool operator==(const SearchHit&) const = default;
};
