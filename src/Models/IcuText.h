#pragma once

#include <QString>

#include <unicode/unistr.h>

// ICU's strings and Qt's both hold UTF-16: each is read as the other without a conversion.
inline icu::UnicodeString toIcu(const QString& text) {
    return icu::UnicodeString(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<int32_t>(text.size()));
}

inline QString fromIcu(const icu::UnicodeString& text) {
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}
