// The uninstaller's operations of AppState.
#include "Services/AppState.h"

#include "Foundation/SaturatingSum.h"
#include "Models/AppLocalization.h"
#include "Services/ErrorDescription.h"
#include "Services/UninstallError.h"

#include <algorithm>
#include <unordered_map>

void AppState::loadApplications() {
    if (isLoadingApplications_) return;
    startApplicationsLoad();
}

void AppState::startApplicationsLoad() {
    setIsLoadingApplications(true);
    const NewestJob::Ticket ticket = applicationLoads_.start();
    jobs_.run(
        std::stop_source(), [this](std::stop_token) { return services_.installedApplications(); },
        [this, ticket](JobOutcome<std::vector<InstalledApplication>>& outcome) {
            if (!applicationLoads_.isNewest(ticket)) return;  // listed before a removal: the load after it publishes
            try {
                setApplications(std::move(outcome.value()));
            } catch (...) {
                // The listing never fails; should it, the old list stays.
            }
            setIsLoadingApplications(false);
            // A selection that is present stays, even when its application left the list; one still
            // listed shows what was measured now.
            if (selectedApplication_) {
                const auto listed = std::find_if(applications_.begin(), applications_.end(), [&](const auto& each) { return each.id == selectedApplication_->id; });
                if (listed != applications_.end()) setSelectedApplication(*listed);
            }
            if (!selectedApplication_ && !applications_.empty()) setSelectedApplication(applications_.front());
            if (selectedApplication_) loadArtifacts(*selectedApplication_);
        });
}

void AppState::selectApplication(const InstalledApplication& application) {
    handTicks_.clear();
    setSelectedApplication(application);
    setArtifacts({});
    loadArtifacts(application);
}

void AppState::loadArtifacts(const InstalledApplication& application) {
    // Only the newest load publishes: an older one arriving late would tick again what the user unticked.
    const NewestJob::Ticket ticket = artifactLoads_.start();
    setIsLoadingArtifacts(true);
    jobs_.run(
        std::stop_source(), [this, application](std::stop_token) { return services_.artifacts(application); },
        [this, ticket, id = application.id](JobOutcome<std::vector<AppArtifact>>& outcome) {
            if (!artifactLoads_.isNewest(ticket)) return;
            setIsLoadingArtifacts(false);
            if (!selectedApplication_ || selectedApplication_->id != id) return;
            try {
                std::vector<AppArtifact> artifacts = keepingTicks(std::move(outcome.value()));
                // The application is what is left of it now: after a removal, only what stayed.
                InstalledApplication measured = *selectedApplication_;
                measured.size = 0;
                for (const AppArtifact& artifact : artifacts)
                    if (artifact.category == ArtifactCategory::application) measured.size = saturatingSum(measured.size, artifact.size);
                setSelectedApplication(std::move(measured));
                setArtifacts(std::move(artifacts));
            } catch (...) {
            }
        });
}

// A reload of the shown application keeps what the user ticked and unticked by hand, item by item;
// every other item comes with the service's fresh choice, which may differ from its earlier one (a
// program completed on disk since, a service enabled since).
std::vector<AppArtifact> AppState::keepingTicks(std::vector<AppArtifact> reloaded) const {
    for (AppArtifact& artifact : reloaded) {
        auto tick = handTicks_.find(artifact.path.native());
        if (tick != handTicks_.end() && !artifact.isLocked()) artifact.isSelected = tick->second;
    }
    return reloaded;
}

void AppState::setArtifactSelection(const AppArtifact& artifact, bool selected) {
    auto found = std::find_if(artifacts_.begin(), artifacts_.end(), [&](const AppArtifact& candidate) { return candidate.id == artifact.id; });
    // A package's file is never ticked: only the package manager removes it.
    if (found == artifacts_.end() || found->isSelected == selected || (selected && found->isLocked())) return;
    found->isSelected = selected;
    handTicks_[found->path.native()] = selected;
    emit artifactsChanged();
}

void AppState::moveSelectedArtifactsToTrash(std::vector<AppArtifact> confirmed) {
    if (isRemoving_) return;  // a second removal would move what the first already took
    setIsRemoving(true);
    jobs_.run(
        std::stop_source(), [this, confirmed = std::move(confirmed)](std::stop_token) { return services_.trashArtifacts(confirmed); },
        [this](JobOutcome<std::vector<Path>>& outcome) {
            try {
                const auto moved = static_cast<long long>(outcome.value().size());
                setUninstallMessage(AppLocalization::format("uninstaller.movedCount", {moved}));
                reloadAfterRemoval();
            } catch (const UninstallError& partial) {
                // Some items went before the failure: the message counts them and the lists follow.
                // An item that changed since the listing is not what the user confirmed: it stays
                // listed as it is now, unticked, until the user ticks it again.
                setUninstallMessage(errorDescription(std::current_exception()));
                const bool untickedChanged = untickChanged(partial.failures());
                if (!partial.movedLocations().empty() || untickedChanged) reloadAfterRemoval();
            } catch (...) {
                setUninstallMessage(errorDescription(std::current_exception()));
            }
            pruneToolListsByExistence();
            setIsRemoving(false);
        });
}

bool AppState::untickChanged(const std::vector<TrashError>& failures) {
    bool unticked = false;
    for (const TrashError& failure : failures) {
        if (failure.reason() != TrashError::Reason::changed) continue;
        for (AppArtifact& artifact : artifacts_) {
            if (artifact.path != failure.item() || !artifact.isSelected) continue;
            artifact.isSelected = false;
            handTicks_[artifact.path.native()] = false;  // until the user ticks it again
            unticked = true;
        }
    }
    if (unticked) emit artifactsChanged();
    return unticked;
}

// Lists read before the removal ended may still hold what it moved: they are dropped, and a fresh
// load replaces a load that is still running.
void AppState::reloadAfterRemoval() {
    artifactLoads_.supersede();
    startApplicationsLoad();
}
