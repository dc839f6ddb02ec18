#pragma once

#include <QString>

#include <filesystem>

// Names and paths as the screens show them. A name may hold the invisible controls that reorder text
// (U+202A-U+202E, U+2066-U+2069): "qq \u202Etxt.exe" would read "qq exe.txt". Shown, each such
// control is a visible mark ("qq [U+202E]txt.exe"), so the name reads as it is stored. For file
// access and the clipboard use PathText, which keeps the name as it is.
namespace DisplayText {

QString name(const QString& name);
QString name(const std::filesystem::path& path);  // of the whole path as text; pass filename() for the last part

// A path is one left-to-right run, also inside Arabic text, its parts in order from the root; a part
// written right to left reads in its own direction.
QString path(const QString& path);
QString path(const std::filesystem::path& path);

// Only the controls that would reorder text outside the value: embeddings and overrides, and isolate
// marks that do not pair up. A value that is itself an isolated run is kept as it is.
QString withStrayControlsShown(const QString& text);

}  // namespace DisplayText
