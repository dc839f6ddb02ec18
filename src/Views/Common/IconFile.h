#pragma once

#include <QIcon>

#include <filesystem>
#include <vector>

// An icon from image files, one size each. Only a regular file is opened, and without waiting: a FIFO or a
// device in its place would otherwise hold the window in open() for good. The file is read into
// memory first, so nothing opens it again when the icon is drawn. Null when none is an image.
namespace IconFile {

QIcon read(const std::vector<std::filesystem::path>& files);
inline QIcon read(const std::filesystem::path& file) { return read(std::vector{file}); }

}  // namespace IconFile
