#pragma once

#include "Models/ScanProgress.h"
#include "Models/ScanSnapshot.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <stop_token>

// Measures a folder into a snapshot: totals, one bucket per counted top-level entry, the 4000
// largest files, with progress while it runs. Holds no state, so calls may overlap.
class DiskScanner {
public:
    using ProgressCallback = std::function<void(const ScanProgress&)>;

    // Called by a worker before it reads each directory below the folder; tests hold the walk there.
    using DirectoryGate = std::function<void(const std::string& directory)>;

    explicit DiskScanner(std::chrono::milliseconds pollInterval = std::chrono::milliseconds(120), DirectoryGate gate = {})
        : pollInterval_(pollInterval), gate_(std::move(gate)) {}

    // `progress` is called on the calling thread after every poll interval while the walk runs.
    // Throws ScanError when the folder cannot be listed (also when it is a symbolic link), and
    // Cancelled when `stop` was requested before the walk was seen to end.
    ScanSnapshot scan(const std::filesystem::path& rootPath, bool includeHidden, const ProgressCallback& progress,
                      std::stop_token stop = {}) const;

private:
    std::chrono::milliseconds pollInterval_;
    DirectoryGate gate_;
};
