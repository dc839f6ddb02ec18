#pragma once

#include <QString>

#include <filesystem>
#include <string>
#include <string_view>

// File names on Linux are bytes and need not be UTF-8. Paths stay bytes for file access;
// these conversions are for showing and storing text only.
namespace PathText {

// Lossy: invalid UTF-8 sequences show as U+FFFD.
QString display(const std::filesystem::path& path);
QString display(std::string_view bytes);
inline QString display(const std::string& bytes) { return display(std::string_view(bytes)); }

// The bytes of a path the user typed or picked.
std::filesystem::path fromText(const QString& text);

bool isValidUtf8(std::string_view bytes);

}  // namespace PathText
