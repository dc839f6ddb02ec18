#include "Models/StorageRecord.h"

#include "Foundation/JsonObjectReader.h"

QJsonObject StorageRecord::toJson() const {
    QJsonObject object{
        {"id", QString::fromStdString(id.text())},
        {"date", date.referenceSeconds()},
        {"used", qint64(used)},
        {"available", qint64(available)},
    };
    if (reserved) object.insert("reserved", qint64(*reserved));
    return object;
}

std::optional<StorageRecord> StorageRecord::fromJson(const QJsonValue& value) {
    JsonObjectReader reader(value);
    StorageRecord record;
    record.id = reader.uuid("id");
    record.date = reader.instant("date");
    record.used = reader.integer("used");
    record.available = reader.integer("available");
    record.reserved = reader.optionalInteger("reserved");
    if (!reader.ok()) return std::nullopt;
    return record;
}
