#pragma once

#include <QSize>

#include <filesystem>

class QFileDialog;

// The panel that chooses the scan folder: folders only, one of them, opening at `start`, its
// confirm button reading "scan.choose". It offers no way to make a folder: it picks one to scan.
// Paths read left to right in every language, dates in the chosen language; the type column is
// left out (every row is a folder), and it opens large enough to show every column and button whole.
namespace FolderPanel {

inline constexpr int typeColumn = 2;
inline constexpr int dateColumn = 3;

void prepare(QFileDialog& panel, const std::filesystem::path& start);

}  // namespace FolderPanel
