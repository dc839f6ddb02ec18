#pragma once

#include <QString>

#include <cstdint>

// How one top-level folder changed between two scans of the same folder. Computed, never stored.
struct FolderStorageChange {
    QString id;  // the path
    QString name;  // from the later record when it has the folder
    QString path;
    std::int64_t previousSize = 0;  // 0 when the earlier record lacks it
    std::int64_t currentSize = 0;  // 0 when the later record lacks it

    bool operator==(const FolderStorageChange&) const = default;
};
