#pragma once

#include <filesystem>

class QFileDialog;

// The panel that chooses the scan folder: folders only, one of them, opening at `start`, its
// confirm button reading "scan.choose". It offers no way to make a folder: it picks one to scan.
namespace FolderPanel {

void prepare(QFileDialog& panel, const std::filesystem::path& start);

}  // namespace FolderPanel
