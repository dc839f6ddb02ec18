#include "Models/StorageRecord.h"

#include "Foundation/JsonObjectReader.h"

QJsonObject StorageRecord::toJson() const {
    return {
        {"id", QString::fromStdString(id.text())},
        {"date", date.referenceSeconds()},
        {"used", qint64(used)},
        {"available", qint64(available)},
    };
}

std::optional<StorageRecord> StorageRecord::fromJson(const QJsonValue& value) {
    JsonObjectReader reader(value);
    StorageRecord record;
    record.id = reader.uuid("id");
    record.date = reader.instant("date");
    record.used = reader.integer("used");
    record.available = reader.integer("available");
    if (!reader.ok()) return std::nullopt;
    return record;
}
