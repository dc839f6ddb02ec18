#include "Services/AppServices.h"

#include "Platform/PrivacySettings.h"
#include "Services/DiskScanner.h"
#include "Services/FileIntelligenceService.h"
#include "Services/StartupItemsService.h"
#include "Services/UninstallerService.h"

AppServices AppServices::live() {
    AppServices services;
    services.monitor = std::make_unique<SystemMonitor>();
    services.storageHistory = std::make_unique<StorageHistoryService>();
    auto scanner = std::make_shared<DiskScanner>();
    auto uninstaller = std::make_shared<UninstallerService>();
    auto intelligence = std::make_shared<FileIntelligenceService>();
    auto startup = std::make_shared<StartupItemsService>();

    services.scan = [scanner](const Path& root, bool includeHidden, const std::function<void(const ScanProgress&)>& progress, std::stop_token stop) {
        return scanner->scan(root, includeHidden, progress, stop);
    };
    services.recordScan = [history = services.storageHistory.get()](const ScanSnapshot& snapshot) { history->record(snapshot); };

    services.installedApplications = [uninstaller] { return uninstaller->installedApplications(); };
    services.artifacts = [uninstaller](const InstalledApplication& application) { return uninstaller->artifacts(application); };
    services.trashArtifacts = [uninstaller](const std::vector<AppArtifact>& artifacts) { return uninstaller->moveToTrash(artifacts); };

    services.duplicateGroups = [intelligence](const Path& root, bool includeHidden, const std::function<void(const DuplicateScanProgress&)>& progress,
                                              const std::function<void(const DuplicateGroup&)>& foundGroup, std::stop_token stop) {
        return intelligence->duplicateGroups(root, includeHidden, progress, foundGroup, stop);
    };
    services.cleanupCandidates = [intelligence] { return intelligence->cleanupCandidates(); };
    services.developerCandidates = [intelligence] { return intelligence->developerCandidates(); };
    services.forgottenFiles = [intelligence](const Path& root, int olderThanDays, std::int64_t minimumSize, std::stop_token stop) {
        return intelligence->forgottenFiles(root, olderThanDays, minimumSize, stop);
    };
    services.moveToTrash = [intelligence](const std::vector<TrashRequest>& items, std::stop_token stop) { return intelligence->moveToTrash(items, stop); };

    services.startupItems = [startup] { return startup->items(); };
    services.setStartupItemEnabled = [startup](const StartupItem& item, bool enabled) { startup->setEnabled(item, enabled); };

    services.openPrivacySettings = [] { PrivacySettings::open(); };
    services.canOpenPrivacySettings = [] { return PrivacySettings::available(); };
    return services;
}
