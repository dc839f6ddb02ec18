#pragma once

#include <QIcon>
#include <QImage>

#include <filesystem>
#include <vector>

// An icon from image files, one size each. Only a regular file is opened, and without waiting: a FIFO or a
// device in its place would otherwise hold the caller in open() for good. The file is read into memory
// first, so nothing opens it again when the icon is drawn. The work one file may cost is bounded: a file
// larger than an icon ever is, a bitmap of more pixels than the screens can use, a scalable image that
// draws more elements and segments than an icon has, or a compressed one (its size is only known once
// inflated) is not decoded at all.
namespace IconFile {

// The images of the files that decode within the bounds. Safe on any thread.
std::vector<QImage> decode(const std::vector<std::filesystem::path>& files);

// The images as one icon; null when there are none. On the window's thread (it makes pixmaps).
QIcon icon(const std::vector<QImage>& images);

// decode() and icon() together. Null when none is an image.
inline QIcon read(const std::vector<std::filesystem::path>& files) { return icon(decode(files)); }
inline QIcon read(const std::filesystem::path& file) { return read(std::vector{file}); }

}  // namespace IconFile
