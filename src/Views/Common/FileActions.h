#pragma once

#include <QUrl>

#include <filesystem>
#include <functional>

// Open, reveal and copy path: the file actions offered wherever a file or folder is listed. When
// nothing on the desktop can open or show the item, FileActionAlerts says so.
namespace FileActions {

// Opens the item with its default application (a folder opens in the file manager).
void open(const std::filesystem::path& path);
// Shows the item selected in the file manager; without one that answers, opens its parent folder.
void reveal(const std::filesystem::path& path);
// Puts the path on the clipboard as plain text, replacing what was there.
void copyPath(const std::filesystem::path& path);

// The desktop calls behind open and reveal; tests replace them so nothing is launched.
struct Desktop {
    std::function<bool(const QUrl&)> openUrl;
    std::function<void(const std::filesystem::path&, std::function<void(bool)>)> showItem;
};
void setDesktop(Desktop desktop);  // an empty Desktop restores the real one

}  // namespace FileActions
