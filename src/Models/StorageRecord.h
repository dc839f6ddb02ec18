#pragma once

#include "Foundation/Instant.h"
#include "Foundation/Uuid.h"

#include <QJsonObject>

#include <cstdint>
#include <optional>

// Used and available bytes of the start-up volume on one day.
struct StorageRecord {
    Uuid id = Uuid::random();
    Instant date;
    std::int64_t used = 0;
    std::int64_t available = 0;

    QJsonObject toJson() const;
    static std::optional<StorageRecord> fromJson(const QJsonValue& value);

    bool operator==(const StorageRecord&) const = default;
};
