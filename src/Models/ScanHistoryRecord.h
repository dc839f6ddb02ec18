#pragma once

#include "Models/StoredStorageBucket.h"
#include "Foundation/Instant.h"
#include "Foundation/Uuid.h"

#include <QJsonObject>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// The totals of one completed scan, kept in the storage history.
struct ScanHistoryRecord {
    Uuid id = Uuid::random();
    Instant date;
    QString rootPath;
    std::int64_t totalSize = 0;
    std::int64_t fileCount = 0;
    std::int64_t folderCount = 0;
    std::vector<StoredStorageBucket> buckets;  // largest first
    bool includesHiddenFiles = false;  // whether the scan counted entries whose names begin with a dot
    // Whether a file with several names counted once, as scans do now, or once per name, as they
    // did before: sizes counted the two ways are not compared.
    bool countsHardLinksOnce = true;

    QJsonObject toJson() const;
    static std::optional<ScanHistoryRecord> fromJson(const QJsonValue& value);

    bool operator==(const ScanHistoryRecord&) const = default;
};
