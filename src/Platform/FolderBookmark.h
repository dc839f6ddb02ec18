#pragma once

#include <QByteArray>

#include <filesystem>
#include <optional>

// A remembered folder. Linux has no security-scoped bookmarks: the bookmark is the folder's
// absolute path as bytes (file names need not be UTF-8).
namespace FolderBookmark {

// Fails for a path that is not absolute.
std::optional<QByteArray> data(const std::filesystem::path& folder);

// The folder, when the data names an absolute path that is a directory now.
std::optional<std::filesystem::path> resolve(const QByteArray& data);

}  // namespace FolderBookmark
