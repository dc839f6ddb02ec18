#pragma once

#include <QString>

#include <cstdint>
#include <variant>

// One value filled into a localized message: a whole number, a fraction or a text.
class MessageArgument {
public:
    MessageArgument(int value) : value_(std::int64_t(value)) {}
    MessageArgument(long value) : value_(std::int64_t(value)) {}
    MessageArgument(long long value) : value_(std::int64_t(value)) {}
    MessageArgument(unsigned value) : value_(std::int64_t(value)) {}
    MessageArgument(double value) : value_(value) {}
    MessageArgument(const QString& value) : value_(value) {}
    MessageArgument(const char* value) : value_(QString::fromUtf8(value)) {}

    const std::variant<std::int64_t, double, QString>& value() const { return value_; }

private:
    std::variant<std::int64_t, double, QString> value_;
};
