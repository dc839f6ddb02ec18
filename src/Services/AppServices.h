#pragma once

#include "Models/AppArtifact.h"
#include "Models/CleanupCandidate.h"
#include "Models/DuplicateGroup.h"
#include "Models/DuplicateScanProgress.h"
#include "Models/DuplicateSearchResult.h"
#include "Models/InstalledApplication.h"
#include "Models/ScanProgress.h"
#include "Models/ScanSnapshot.h"
#include "Models/ScannedFile.h"
#include "Models/StartupItem.h"
#include "Services/StorageHistoryService.h"
#include "Services/SystemMonitor.h"
#include "Services/TrashRequest.h"
#include "Services/TrashResult.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <vector>

// Everything AppState asks of the services and of the desktop, as plain calls. The app binds the
// real services (live()); tests bind fakes. Calls marked "worker" run on a background thread and
// may block; the others run on the main thread.
struct AppServices {
    using Path = std::filesystem::path;

    // The real services, created in the order the app depends on: the monitor, the storage history,
    // then the scanner, the uninstaller, file intelligence and startup items. The folder panel is
    // the app's to add: it needs widgets.
    static AppServices live();

    // Published objects that screens read directly. Tests may leave them empty.
    std::unique_ptr<SystemMonitor> monitor;
    std::unique_ptr<StorageHistoryService> storageHistory;

    // worker: the scanner; throws ScanError or Cancelled.
    std::function<ScanSnapshot(const Path& root, bool includeHidden, const std::function<void(const ScanProgress&)>& progress, std::stop_token)> scan;
    // main: appends a scan record to the storage history.
    std::function<void(const ScanSnapshot&)> recordScan;

    // worker: the uninstaller.
    std::function<std::vector<InstalledApplication>()> installedApplications;
    std::function<std::vector<AppArtifact>(const InstalledApplication&)> artifacts;
    std::function<std::vector<Path>(const std::vector<AppArtifact>&)> trashArtifacts;  // the moved items' new locations

    // worker: file intelligence.
    std::function<DuplicateSearchResult(const Path& root, bool includeHidden,
                                              const std::function<void(const DuplicateScanProgress&)>& progress,
                                              const std::function<void(const DuplicateGroup&)>& foundGroup, std::stop_token)>
        duplicateGroups;
    std::function<std::vector<CleanupCandidate>()> cleanupCandidates;
    std::function<std::vector<CleanupCandidate>()> developerCandidates;
    std::function<std::vector<ScannedFile>(const Path& root, int olderThanDays, std::int64_t minimumSize, std::stop_token)> forgottenFiles;
    std::function<TrashResult(const std::vector<TrashRequest>&, std::stop_token)> moveToTrash;

    // worker: startup items.
    std::function<std::vector<StartupItem>()> startupItems;
    std::function<void(const StartupItem&, bool enabled)> setStartupItemEnabled;

    // main: the desktop. chooseFolder runs a modal folder panel opened at `start`.
    std::function<std::optional<Path>(const Path& start)> chooseFolder;
    std::function<void()> openPrivacySettings;
    std::function<bool()> canOpenPrivacySettings;  // false where no known settings program is installed
};
