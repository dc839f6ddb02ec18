// The uninstaller's operations of AppState.
#include "Services/AppState.h"

#include "Models/AppLocalization.h"
#include "Services/ErrorDescription.h"
#include "Services/UninstallError.h"

void AppState::loadApplications() {
    if (isLoadingApplications_) return;
    setIsLoadingApplications(true);
    jobs_.run(
        std::stop_source(), [this](std::stop_token) { return services_.installedApplications(); },
        [this](JobOutcome<std::vector<InstalledApplication>>& outcome) {
            try {
                setApplications(std::move(outcome.value()));
            } catch (...) {
                // The listing never fails; should it, the old list stays.
            }
            setIsLoadingApplications(false);
            // A selection that is present stays, even when its application left the list.
            if (!selectedApplication_ && !applications_.empty()) setSelectedApplication(applications_.front());
            if (selectedApplication_) loadArtifacts(*selectedApplication_);
        });
}

void AppState::selectApplication(const InstalledApplication& application) {
    setSelectedApplication(application);
    setArtifacts({});
    loadArtifacts(application);
}

void AppState::loadArtifacts(const InstalledApplication& application) {
    // Only the newest load publishes: an older one arriving late would tick again what the user unticked.
    const NewestJob::Ticket ticket = artifactLoads_.start();
    jobs_.run(
        std::stop_source(), [this, application](std::stop_token) { return services_.artifacts(application); },
        [this, ticket, id = application.id](JobOutcome<std::vector<AppArtifact>>& outcome) {
            if (!artifactLoads_.isNewest(ticket) || !selectedApplication_ || selectedApplication_->id != id) return;
            try {
                setArtifacts(std::move(outcome.value()));
            } catch (...) {
            }
        });
}

void AppState::setArtifactSelection(const AppArtifact& artifact, bool selected) {
    auto found = std::find_if(artifacts_.begin(), artifacts_.end(), [&](const AppArtifact& candidate) { return candidate.id == artifact.id; });
    if (found == artifacts_.end() || found->isSelected == selected) return;
    found->isSelected = selected;
    emit artifactsChanged();
}

void AppState::moveSelectedArtifactsToTrash() {
    if (isRemoving_) return;  // a second removal would move what the first already took
    setIsRemoving(true);
    jobs_.run(
        std::stop_source(), [this, artifacts = artifacts_](std::stop_token) { return services_.trashArtifacts(artifacts); },
        [this](JobOutcome<std::vector<Path>>& outcome) {
            try {
                const auto moved = static_cast<long long>(outcome.value().size());
                setUninstallMessage(AppLocalization::format("uninstaller.movedCount", {moved}));
                loadApplications();
            } catch (const UninstallError& partial) {
                // Some items went before the failure: the message counts them and the lists follow.
                setUninstallMessage(errorDescription(std::current_exception()));
                if (!partial.movedLocations().empty()) loadApplications();
            } catch (...) {
                setUninstallMessage(errorDescription(std::current_exception()));
            }
            pruneToolListsByExistence();
            setIsRemoving(false);
        });
}
