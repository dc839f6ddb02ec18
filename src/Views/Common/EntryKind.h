#pragma once

#include <QString>

#include <filesystem>

// What an entry of a scan is, as the screens name it. A top-level entry of a scan can be a file (an
// image in Downloads) or a link as well as a folder.
namespace EntryKind {

// A real folder, not a link to one: only such a folder can be scanned on its own.
bool isFolder(const std::filesystem::path& path);

// "Folder" for a real folder, else the file's kind description ("Disk image"), or "File".
QString text(const std::filesystem::path& path);

}  // namespace EntryKind
