#include "Services/AppState.h"

#include "Platform/FolderBookmark.h"
#include "Platform/SettingsStore.h"
#include "Platform/StandardizedPath.h"
#include "Platform/SystemRoots.h"
#include "Foundation/Cancelled.h"
#include "Services/ErrorDescription.h"

namespace {

const QString bookmarkKey = QStringLiteral("scanRootBookmark");

// Lists are replaced whole, so they always notify; small values notify only when they change.
template <typename T, typename Signal>
void publish(AppState* state, T& member, T value, Signal changed) {
    member = std::move(value);
    emit(state->*changed)();
}

template <typename T, typename Signal>
void publishIfChanged(AppState* state, T& member, T value, Signal changed) {
    if (member == value) return;
    member = std::move(value);
    emit(state->*changed)();
}

}  // namespace

AppState::AppState(AppServices services, QObject* parent) : QObject(parent), services_(std::move(services)), jobs_(this) {
    // The bookmark is resolved last, after the services exist; a missing or stale one means home.
    const QByteArray bookmark = SettingsStore::shared().value(bookmarkKey).toByteArray();
    scanRoot_ = FolderBookmark::resolve(bookmark).value_or(standardizedPath(SystemRoots::current().home));
}

AppState::~AppState() = default;

void AppState::setSelectedSection(std::optional<AppSection> section) { publishIfChanged(this, selectedSection_, section, &AppState::selectedSectionChanged); }
void AppState::setScanSnapshot(std::shared_ptr<const ScanSnapshot> snapshot) { publish(this, scanSnapshot_, std::move(snapshot), &AppState::scanSnapshotChanged); }
void AppState::setScanProgress(std::optional<ScanProgress> progress) { publish(this, scanProgress_, std::move(progress), &AppState::scanProgressChanged); }
void AppState::setIsScanning(bool scanning) { publishIfChanged(this, isScanning_, scanning, &AppState::isScanningChanged); }
void AppState::setScanError(std::optional<QString> error) { publishIfChanged(this, scanError_, std::move(error), &AppState::scanErrorChanged); }
void AppState::setIncludeHiddenFiles(bool include) { publishIfChanged(this, includeHiddenFiles_, include, &AppState::includeHiddenFilesChanged); }
void AppState::setScanRoot(const Path& folder) { publishIfChanged(this, scanRoot_, standardizedPath(folder), &AppState::scanRootChanged); }
void AppState::setApplications(std::vector<InstalledApplication> applications) { publish(this, applications_, std::move(applications), &AppState::applicationsChanged); }
void AppState::setSelectedApplication(std::optional<InstalledApplication> application) { publishIfChanged(this, selectedApplication_, std::move(application), &AppState::selectedApplicationChanged); }
void AppState::setArtifacts(std::vector<AppArtifact> artifacts) { publish(this, artifacts_, std::move(artifacts), &AppState::artifactsChanged); }
void AppState::setIsLoadingApplications(bool loading) { publishIfChanged(this, isLoadingApplications_, loading, &AppState::isLoadingApplicationsChanged); }
void AppState::setIsLoadingArtifacts(bool loading) { publishIfChanged(this, isLoadingArtifacts_, loading, &AppState::isLoadingArtifactsChanged); }
void AppState::setIsRemoving(bool removing) { publishIfChanged(this, isRemoving_, removing, &AppState::isRemovingChanged); }
void AppState::setUninstallMessage(std::optional<QString> message) { publishIfChanged(this, uninstallMessage_, std::move(message), &AppState::uninstallMessageChanged); }
void AppState::setDuplicateGroups(std::vector<DuplicateGroup> groups) { publish(this, duplicateGroups_, std::move(groups), &AppState::duplicateGroupsChanged); }
void AppState::setCleanupCandidates(std::vector<CleanupCandidate> candidates) { publish(this, cleanupCandidates_, std::move(candidates), &AppState::cleanupCandidatesChanged); }
void AppState::setForgottenFiles(std::vector<ScannedFile> files) { publish(this, forgottenFiles_, std::move(files), &AppState::forgottenFilesChanged); }
void AppState::setStartupItems(std::vector<StartupItem> items) { publish(this, startupItems_, std::move(items), &AppState::startupItemsChanged); }
void AppState::setDeveloperCandidates(std::vector<CleanupCandidate> candidates) { publish(this, developerCandidates_, std::move(candidates), &AppState::developerCandidatesChanged); }
void AppState::setSelectedToolItems(std::set<std::string> items) { publishIfChanged(this, selectedToolItems_, std::move(items), &AppState::selectedToolItemsChanged); }
void AppState::setIsToolWorking(bool working) { publishIfChanged(this, isToolWorking_, working, &AppState::isToolWorkingChanged); }
void AppState::setDuplicateProgress(std::optional<DuplicateScanProgress> progress) { publish(this, duplicateProgress_, std::move(progress), &AppState::duplicateProgressChanged); }
void AppState::setDidFinishDuplicateScan(bool finished) { publishIfChanged(this, didFinishDuplicateScan_, finished, &AppState::didFinishDuplicateScanChanged); }
void AppState::setDuplicatesNotCompared(std::vector<Path> files) { publishIfChanged(this, duplicatesNotCompared_, std::move(files), &AppState::duplicatesNotComparedChanged); }
void AppState::setToolMessage(std::optional<QString> message) { publishIfChanged(this, toolMessage_, std::move(message), &AppState::toolMessageChanged); }

void AppState::startScan() {
    scanStop_.request_stop();
    scanStop_ = std::stop_source();
    const NewestJob::Ticket ticket = scans_.start();
    // The progress restarts at zero before the scan is announced: whoever starts measuring on the
    // news (the storage screen's speed sampler) must find this scan's counts, not the last one's.
    setScanError(std::nullopt);
    setScanProgress(ScanProgress{scanRoot_.string(), 0, 0});
    setIsScanning(true);

    const Path root = scanRoot_;
    const bool includeHidden = includeHiddenFiles_;
    jobs_.run(
        scanStop_,
        [this, root, includeHidden, ticket](std::stop_token stop) {
            auto progress = [this, ticket](const ScanProgress& value) {
                jobs_.post([this, ticket, value] {
                    if (scans_.isNewest(ticket)) setScanProgress(value);
                });
            };
            return services_.scan(root, includeHidden, progress, stop);
        },
        [this, ticket](JobOutcome<ScanSnapshot>& outcome) {
            if (!scans_.isNewest(ticket)) return;
            try {
                auto snapshot = std::make_shared<const ScanSnapshot>(std::move(outcome.value()));
                setScanSnapshot(snapshot);
                services_.recordScan(*snapshot);
            } catch (const Cancelled&) {
            } catch (...) {
                setScanError(errorDescription(std::current_exception()));
            }
            setIsScanning(false);
        });
}

void AppState::cancelScan() {
    scanStop_.request_stop();
    scans_.supersede();  // its late progress and end must not touch the published state
    setIsScanning(false);
}

void AppState::chooseScanFolder() {
    const std::optional<Path> chosen = services_.chooseFolder(scanRoot_);
    if (!chosen || chosen->empty()) return;
    setScanRoot(*chosen);
    saveScanRootBookmark();
}

void AppState::scanParentFolder() {
    const Path parent = scanRoot_.parent_path();
    if (parent.empty() || parent.string() == scanRoot_.string()) return;
    setScanRoot(parent);
    saveScanRootBookmark();
    startScan();
}

void AppState::saveScanRootBookmark() {
    if (std::optional<QByteArray> bookmark = FolderBookmark::data(scanRoot_)) SettingsStore::shared().setValue(bookmarkKey, *bookmark);
}

void AppState::openPrivacySettings() { services_.openPrivacySettings(); }

bool AppState::canOpenPrivacySettings() const { return services_.canOpenPrivacySettings && services_.canOpenPrivacySettings(); }
