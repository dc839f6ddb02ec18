#pragma once

#include <QString>

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>
#include <utility>

// Stored text forms of the enumerations. Each enumeration specializes RawValues<E> with its cases in
// declaration order; matching is exact and case-sensitive.
template <typename E>
struct RawValues;

template <typename E>
constexpr std::string_view rawValue(E value) {
    for (const auto& [candidate, text] : RawValues<E>::table)
        if (candidate == value) return text;
    return {};
}

template <typename E>
QString rawText(E value) {
    std::string_view text = rawValue(value);
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

template <typename E>
constexpr std::optional<E> fromRawValue(std::string_view text) {
    for (const auto& [candidate, raw] : RawValues<E>::table)
        if (raw == text) return candidate;
    return std::nullopt;
}

template <typename E>
std::optional<E> fromRawText(const QString& text) {
    QByteArray utf8 = text.toUtf8();
    return fromRawValue<E>(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

// Every case once, in declaration order.
template <typename E>
constexpr auto allCases() {
    std::array<E, RawValues<E>::table.size()> cases{};
    std::transform(RawValues<E>::table.begin(), RawValues<E>::table.end(), cases.begin(), [](const auto& row) { return row.first; });
    return cases;
}
