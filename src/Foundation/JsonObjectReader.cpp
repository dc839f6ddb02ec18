#include "Foundation/JsonObjectReader.h"

#include <QCborValue>

JsonObjectReader::JsonObjectReader(const QJsonValue& value) : object_(value.toObject()), ok_(value.isObject()) {}

QJsonValue JsonObjectReader::member(const char* name) {
    QJsonValue value = object_.value(QLatin1StringView(name));
    if (value.isUndefined() || value.isNull()) ok_ = false;
    return value;
}

std::int64_t JsonObjectReader::integer(const char* name) {
    QJsonValue value = member(name);
    // The parser keeps integral numbers that fit 64 bits as integers; anything else is not one.
    QCborValue exact = QCborValue::fromJsonValue(value);
    if (!exact.isInteger()) {
        ok_ = false;
        return 0;
    }
    return exact.toInteger();
}

double JsonObjectReader::number(const char* name) {
    QJsonValue value = member(name);
    if (!value.isDouble()) ok_ = false;
    return value.toDouble();
}

QString JsonObjectReader::text(const char* name) {
    QJsonValue value = member(name);
    if (!value.isString()) ok_ = false;
    return value.toString();
}

QJsonArray JsonObjectReader::array(const char* name) {
    QJsonValue value = member(name);
    if (!value.isArray()) ok_ = false;
    return value.toArray();
}

Uuid JsonObjectReader::uuid(const char* name) {
    QString value = text(name);
    auto id = Uuid::parse(value.toStdString());
    if (!id) {
        ok_ = false;
        return {};
    }
    return *id;
}

Instant JsonObjectReader::instant(const char* name) {
    return Instant::fromReferenceSeconds(number(name));
}

std::optional<std::int64_t> JsonObjectReader::optionalInteger(const char* name) const {
    const QCborValue exact = QCborValue::fromJsonValue(object_.value(QLatin1StringView(name)));
    if (!exact.isInteger()) return std::nullopt;
    return exact.toInteger();
}

std::optional<bool> JsonObjectReader::optionalBoolean(const char* name) const {
    const QJsonValue value = object_.value(QLatin1StringView(name));
    if (!value.isBool()) return std::nullopt;
    return value.toBool();
}
