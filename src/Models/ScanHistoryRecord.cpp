#include "Models/ScanHistoryRecord.h"

#include "Foundation/JsonObjectReader.h"

#include <QJsonArray>

#include <algorithm>

namespace {

// A top-level entry of the scanned folder whose own name begins with a dot. Only its name counts:
// every entry of a folder chosen inside a hidden one (~/.cache) has a dot in its path.
bool holdsHiddenTopLevelEntry(const std::vector<StoredStorageBucket>& buckets) {
    return std::ranges::any_of(buckets, [](const StoredStorageBucket& bucket) { return bucket.name.startsWith(u'.'); });
}

}  // namespace

QJsonObject ScanHistoryRecord::toJson() const {
    QJsonArray storedBuckets;
    for (const auto& bucket : buckets) storedBuckets.append(bucket.toJson());
    return {
        {"id", QString::fromStdString(id.text())},
        {"date", date.referenceSeconds()},
        {"rootPath", rootPath},
        {"totalSize", qint64(totalSize)},
        {"fileCount", qint64(fileCount)},
        {"folderCount", qint64(folderCount)},
        {"buckets", storedBuckets},
        {"includesHiddenFiles", includesHiddenFiles},
        {"countsHardLinksOnce", countsHardLinksOnce},
    };
}

std::optional<ScanHistoryRecord> ScanHistoryRecord::fromJson(const QJsonValue& value) {
    JsonObjectReader reader(value);
    ScanHistoryRecord record;
    record.id = reader.uuid("id");
    record.date = reader.instant("date");
    record.rootPath = reader.text("rootPath");
    record.totalSize = reader.integer("totalSize");
    record.fileCount = reader.integer("fileCount");
    record.folderCount = reader.integer("folderCount");
    const QJsonArray storedBuckets = reader.array("buckets");
    if (!reader.ok()) return std::nullopt;
    for (const auto& item : storedBuckets) {
        auto bucket = StoredStorageBucket::fromJson(item);
        if (!bucket) return std::nullopt;
        record.buckets.push_back(*bucket);
    }
    // Records of builds before the flag lack it, and one of another type says nothing. Hidden
    // entries are counted only with the setting on, so a hidden top-level entry tells that it was.
    record.includesHiddenFiles = reader.optionalBoolean("includesHiddenFiles").value_or(holdsHiddenTopLevelEntry(record.buckets));
    // Every build before the flag counted each name; a flag that cannot be read says nothing better.
    record.countsHardLinksOnce = reader.optionalBoolean("countsHardLinksOnce").value_or(false);
    return record;
}
