#include "Models/ScanHistoryRecord.h"

#include "Foundation/JsonObjectReader.h"

#include <QJsonArray>

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
    return record;
}
