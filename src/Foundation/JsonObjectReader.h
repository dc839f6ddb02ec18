#pragma once

#include "Foundation/Instant.h"
#include "Foundation/Uuid.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <cstdint>
#include <optional>

// Strict reading of one stored JSON object. A missing member, a null or a value of another type
// marks the whole object unreadable (ok() turns false); members nobody asks for are ignored.
// Integers are read exactly, all 64 bits; a number with a fraction is not an integer.
class JsonObjectReader {
public:
    explicit JsonObjectReader(const QJsonValue& value);

    std::int64_t integer(const char* name);
    double number(const char* name);
    QString text(const char* name);
    QJsonArray array(const char* name);
    Uuid uuid(const char* name);
    Instant instant(const char* name);  // seconds since 2001-01-01 UTC
    // A member that records stored before it lack: missing, null or of another type gives none,
    // and the object stays readable.
    std::optional<bool> optionalBoolean(const char* name) const;
    std::optional<std::int64_t> optionalInteger(const char* name) const;

    bool ok() const { return ok_; }

private:
    QJsonValue member(const char* name);

    QJsonObject object_;
    bool ok_;
};
