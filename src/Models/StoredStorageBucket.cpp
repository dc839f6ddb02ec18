#include "Models/StoredStorageBucket.h"

#include "Foundation/JsonObjectReader.h"

QJsonObject StoredStorageBucket::toJson() const {
    return {
        {"id", id},
        {"name", name},
        {"path", path},
        {"size", qint64(size)},
        {"fileCount", qint64(fileCount)},
    };
}

std::optional<StoredStorageBucket> StoredStorageBucket::fromJson(const QJsonValue& value) {
    JsonObjectReader reader(value);
    StoredStorageBucket bucket;
    bucket.id = reader.text("id");
    bucket.name = reader.text("name");
    bucket.path = reader.text("path");
    bucket.size = reader.integer("size");
    bucket.fileCount = reader.integer("fileCount");
    if (!reader.ok()) return std::nullopt;
    return bucket;
}
