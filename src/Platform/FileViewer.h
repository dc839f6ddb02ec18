#pragma once

#include <QUrl>

#include <filesystem>
#include <functional>

// The desktop's file manager, asked over D-Bus (org.freedesktop.FileManager1) to show an item
// selected in its folder.
namespace FileViewer {

// A file URL that keeps the path's exact bytes, also where they are not UTF-8.
QUrl url(const std::filesystem::path& path);

// Asks the file manager to show the item selected; `done` runs on the calling thread with true
// when a file manager took the request, false when there is none or it failed.
void showItem(const std::filesystem::path& path, std::function<void(bool shown)> done);

}  // namespace FileViewer
