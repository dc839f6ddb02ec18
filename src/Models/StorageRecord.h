#pragma once

#include "Foundation/Instant.h"
#include "Foundation/Uuid.h"

#include <QJsonObject>

#include <cstdint>
#include <optional>

// Used and available bytes of the start-up volume on one day. `used` is total less available, as it
// always was stored, so it holds the blocks kept for root; `reserved` says how many they were, in
// records written since it is kept.
struct StorageRecord {
    Uuid id = Uuid::random();
    Instant date;
    std::int64_t used = 0;
    std::int64_t available = 0;
    std::optional<std::int64_t> reserved = {};

    QJsonObject toJson() const;
    static std::optional<StorageRecord> fromJson(const QJsonValue& value);

    bool operator==(const StorageRecord&) const = default;
};
