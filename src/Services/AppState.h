#pragma once

#include "Models/AppSection.h"
#include "Models/ValueTool.h"
#include "Services/AppServices.h"
#include "Foundation/BackgroundJobs.h"
#include "Foundation/NewestJob.h"
#include "Platform/TrashError.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <stop_token>
#include <string>
#include <unordered_map>
#include <vector>

// The one central state object: owns the services, runs every long operation as a background job
// and publishes progress, results and messages. Everything here is touched on the main thread only;
// every published property has its own change signal.
class AppState : public QObject {
    Q_OBJECT
public:
    using Path = std::filesystem::path;

    explicit AppState(AppServices services, QObject* parent = nullptr);
    ~AppState() override;

    // The jobs started that have not handed their outcome back, also stopped and superseded ones.
    int jobsInFlight() const { return jobs_.unfinishedCount(); }

    // The application's one system monitor and storage history, read by the screens.
    SystemMonitor* monitor() const { return services_.monitor.get(); }
    StorageHistoryService* storageHistory() const { return services_.storageHistory.get(); }

    // Navigation and scanning.
    std::optional<AppSection> selectedSection() const { return selectedSection_; }
    void setSelectedSection(std::optional<AppSection> section);
    // The last scan's result, shared and never changed: a new scan publishes a new one. Null before the first.
    const std::shared_ptr<const ScanSnapshot>& scanSnapshot() const { return scanSnapshot_; }
    const std::optional<ScanProgress>& scanProgress() const { return scanProgress_; }
    bool isScanning() const { return isScanning_; }
    const std::optional<QString>& scanError() const { return scanError_; }
    void clearScanError() { setScanError(std::nullopt); }  // the storage screen's alert was dismissed
    bool includeHiddenFiles() const { return includeHiddenFiles_; }
    void setIncludeHiddenFiles(bool include);
    const Path& scanRoot() const { return scanRoot_; }
    // A drill-down sets the folder, then saves its bookmark and starts a scan.
    void setScanRoot(const Path& folder);
    void saveScanRootBookmark();

    // Uninstaller.
    const std::vector<InstalledApplication>& applications() const { return applications_; }
    const std::optional<InstalledApplication>& selectedApplication() const { return selectedApplication_; }
    const std::vector<AppArtifact>& artifacts() const { return artifacts_; }
    bool isLoadingApplications() const { return isLoadingApplications_; }
    // True while the selected application's leftovers are being looked for.
    bool isLoadingArtifacts() const { return isLoadingArtifacts_; }
    bool isRemoving() const { return isRemoving_; }
    const std::optional<QString>& uninstallMessage() const { return uninstallMessage_; }
    void setUninstallMessage(std::optional<QString> message);

    // Tools.
    const std::vector<DuplicateGroup>& duplicateGroups() const { return duplicateGroups_; }
    const std::vector<CleanupCandidate>& cleanupCandidates() const { return cleanupCandidates_; }
    const std::vector<ScannedFile>& forgottenFiles() const { return forgottenFiles_; }
    const std::vector<StartupItem>& startupItems() const { return startupItems_; }
    const std::vector<CleanupCandidate>& developerCandidates() const { return developerCandidates_; }
    const std::set<std::string>& selectedToolItems() const { return selectedToolItems_; }
    void setSelectedToolItems(std::set<std::string> items);
    bool isToolWorking() const { return isToolWorking_; }
    // Whether the tool's list was ever loaded: an empty list it has not looked for says nothing.
    bool hasLooked(ValueTool tool) const { return looked_.contains(tool); }
    // Whether the busy flag is this cleanup list's own load.
    bool isLoading(ValueTool tool) const { return loading_ == tool; }
    const std::optional<DuplicateScanProgress>& duplicateProgress() const { return duplicateProgress_; }
    bool didFinishDuplicateScan() const { return didFinishDuplicateScan_; }
    void setDidFinishDuplicateScan(bool finished);
    // The files the last completed duplicate search could not read to compare.
    const std::vector<Path>& duplicatesNotCompared() const { return duplicatesNotCompared_; }
    void setDuplicatesNotCompared(std::vector<Path> files);
    const std::optional<QString>& toolMessage() const { return toolMessage_; }
    void setToolMessage(std::optional<QString> message);

    // The duplicate copies a move would take: ticked files of each group except its first, the copy
    // that is always kept. Selected sizes and counts are made from these.
    std::vector<ScannedFile> selectedDuplicateFiles() const;

    // Scanning operations.
    void startScan();
    void cancelScan();
    void chooseScanFolder();
    void scanParentFolder();
    void openPrivacySettings();
    bool canOpenPrivacySettings() const;

    // Uninstaller operations.
    void loadApplications();
    void selectApplication(const InstalledApplication& application);
    void setArtifactSelection(const AppArtifact& artifact, bool selected);
    // Moves the ticked ones of `confirmed`: the leftovers as they were ticked when the user confirmed,
    // whatever a reload published since.
    void moveSelectedArtifactsToTrash(std::vector<AppArtifact> confirmed);

    // Tool operations. Searches, loads and moves are refused while another tool operation runs.
    void findDuplicates();
    void cancelDuplicateScan();
    void loadCleanupCandidates();
    void loadDeveloperCandidates();
    void loadStartupItems();
    void findForgottenFiles(int olderThanDays);
    void setStartupItem(const StartupItem& item, bool enabled);
    void trashSelectedCandidates(const std::vector<CleanupCandidate>& candidates);
    void trashSelectedDuplicateFiles();
    void trashSelectedForgottenFiles();

signals:
    void selectedSectionChanged();
    void scanSnapshotChanged();
    void scanProgressChanged();
    void isScanningChanged();
    void scanErrorChanged();
    void includeHiddenFilesChanged();
    void scanRootChanged();
    void applicationsChanged();
    void selectedApplicationChanged();
    void artifactsChanged();
    void isLoadingApplicationsChanged();
    void isLoadingArtifactsChanged();
    void isRemovingChanged();
    void uninstallMessageChanged();
    void duplicateGroupsChanged();
    void cleanupCandidatesChanged();
    void forgottenFilesChanged();
    void startupItemsChanged();
    void developerCandidatesChanged();
    void selectedToolItemsChanged();
    void isToolWorkingChanged();
    void duplicateProgressChanged();
    void didFinishDuplicateScanChanged();
    void duplicatesNotComparedChanged();
    void toolMessageChanged();

private:
    enum class CandidateList { cleanup, developer };

    void startApplicationsLoad();
    void loadArtifacts(const InstalledApplication& application);
    std::vector<AppArtifact> keepingTicks(std::vector<AppArtifact> reloaded) const;
    void reloadAfterRemoval();
    // Unticks the shown items that a removal left because they changed; true when any was ticked.
    bool untickChanged(const std::vector<TrashError>& failures);
    void loadCandidates(CandidateList list);
    // Moves the items, each only while it is still what was listed; what changed stays listed and is
    // named in the message, with what the items that went moved and free (`figures`, one per item).
    void trashToolItems(std::vector<TrashRequest> items, std::vector<TrashFigures::Item> figures);
    // After any move to the Trash, every tool list drops what is no longer there, also the entries
    // inside a moved folder.
    std::vector<Path> listedToolPaths() const;
    void pruneToolListsByExistence();
    void pruneMovedItems(const std::set<std::string>& gone);
    struct StartupSwitch {
        StartupItem item;
        bool enabled = false;
    };
    void queueStartupStep(std::optional<StartupSwitch> change);
    void runNextStartupStep();

    void setScanSnapshot(std::shared_ptr<const ScanSnapshot> snapshot);
    void setScanProgress(std::optional<ScanProgress> progress);
    void setIsScanning(bool scanning);
    void setScanError(std::optional<QString> error);
    void setApplications(std::vector<InstalledApplication> applications);
    void setSelectedApplication(std::optional<InstalledApplication> application);
    void setArtifacts(std::vector<AppArtifact> artifacts);
    void setIsLoadingApplications(bool loading);
    void setIsLoadingArtifacts(bool loading);
    void setIsRemoving(bool removing);
    void setDuplicateGroups(std::vector<DuplicateGroup> groups);
    // Adds a search's newly found groups to the published list, keeping it ordered by the space a
    // move would free.
    void appendDuplicateGroups(std::vector<DuplicateGroup> found);
    void setCleanupCandidates(std::vector<CleanupCandidate> candidates);
    void setForgottenFiles(std::vector<ScannedFile> files);
    void setStartupItems(std::vector<StartupItem> items);
    void setDeveloperCandidates(std::vector<CleanupCandidate> candidates);
    void setIsToolWorking(bool working);
    void setDuplicateProgress(std::optional<DuplicateScanProgress> progress);

    AppServices services_;

    std::optional<AppSection> selectedSection_ = AppSection::overview;
    std::shared_ptr<const ScanSnapshot> scanSnapshot_;
    std::optional<ScanProgress> scanProgress_;
    bool isScanning_ = false;
    std::optional<QString> scanError_;
    bool includeHiddenFiles_ = false;
    Path scanRoot_;
    std::vector<InstalledApplication> applications_;
    std::optional<InstalledApplication> selectedApplication_;
    std::vector<AppArtifact> artifacts_;
    // What the user ticked or unticked by hand among the shown application's items, by path: a reload
    // keeps these, and takes the service's fresh choice for everything else.
    std::unordered_map<Path::string_type, bool> handTicks_;
    bool isLoadingApplications_ = false;
    bool isLoadingArtifacts_ = false;
    bool isRemoving_ = false;
    std::optional<QString> uninstallMessage_;
    std::vector<DuplicateGroup> duplicateGroups_;
    std::vector<CleanupCandidate> cleanupCandidates_;
    std::vector<ScannedFile> forgottenFiles_;
    std::vector<StartupItem> startupItems_;
    std::vector<CleanupCandidate> developerCandidates_;
    std::set<std::string> selectedToolItems_;
    bool isToolWorking_ = false;
    std::set<ValueTool> looked_;
    std::optional<ValueTool> loading_;
    std::optional<DuplicateScanProgress> duplicateProgress_;
    bool didFinishDuplicateScan_ = false;
    std::vector<Path> duplicatesNotCompared_;
    std::optional<QString> toolMessage_;

    // A job publishes only while it is still the newest of its kind: a replaced or cancelled scan,
    // duplicate search or leftover load never overwrites a newer one.
    std::stop_source scanStop_;
    NewestJob scans_;
    std::stop_source duplicateStop_;
    NewestJob duplicateSearches_;
    NewestJob applicationLoads_;
    NewestJob artifactLoads_;
    // Startup loads and switches run one at a time in the order they were asked for: a switch
    // reaches the service after every earlier one, and each list read is newer than the one shown.
    // A step without a switch is a load.
    std::deque<std::optional<StartupSwitch>> startupSteps_;
    bool startupStepRunning_ = false;

    // Last member: destroyed first, so every job has ended before the state it reads goes away.
    BackgroundJobs jobs_;
};
