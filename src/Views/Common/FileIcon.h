#pragma once

#include <QIcon>

#include <filesystem>

// The desktop's icon for the item at a path (a folder, a video, …), as the file manager shows it.
QIcon fileIcon(const std::filesystem::path& path);
