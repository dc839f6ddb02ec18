#pragma once

#include <QJsonObject>
#include <QString>

#include <cstdint>
#include <optional>

// A top-level entry inside a stored scan record.
struct StoredStorageBucket {
    QString id;  // the bucket's path
    QString name;
    QString path;  // the key by which two scan records are compared
    std::int64_t size = 0;
    std::int64_t fileCount = 0;

    QJsonObject toJson() const;
    static std::optional<StoredStorageBucket> fromJson(const QJsonValue& value);

    bool operator==(const StoredStorageBucket&) const = default;
};
