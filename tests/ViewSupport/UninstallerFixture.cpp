#include "ViewSupport/UninstallerFixture.h"

UninstallerFixture::UninstallerFixture() : state_(std::make_unique<AppState>(fake.services())) {}

UninstallerFixture::~UninstallerFixture() {
    fake.abandon.request_stop();
    state_.reset();
}

void UninstallerFixture::answerApplications(std::vector<InstalledApplication> applications) {
    if (fake.applicationLoads.size() <= answeredLoads_ && !state_->isLoadingApplications()) state_->loadApplications();
    if (!waitUntil([&] { return fake.applicationLoads.size() > answeredLoads_; })) return;
    fake.applicationLoads[answeredLoads_++]->succeed(std::move(applications));
    waitUntil([&] { return fake.applicationLoads.size() > answeredLoads_ || !state_->isLoadingApplications(); });
}

void UninstallerFixture::answerArtifacts(std::vector<AppArtifact> artifacts) {
    if (!waitUntil([&] { return fake.artifactLoads.size() > answeredSearches_; })) return;
    answeredSearches_ = fake.artifactLoads.size();
    fake.artifactLoads[answeredSearches_ - 1]->succeed(std::move(artifacts));
    waitUntil([&] { return !state_->isLoadingArtifacts(); });
}

void UninstallerFixture::listAndSelect(std::vector<InstalledApplication> applications, const InstalledApplication& selected,
                                       std::vector<AppArtifact> artifacts) {
    answerApplications(std::move(applications));
    // A finished load searches the leftovers of the selection (the first application when there was none).
    if (state_->selectedApplication()) {
        if (state_->selectedApplication()->id == selected.id) {
            answerArtifacts(std::move(artifacts));
            return;
        }
        answerArtifacts({});
    }
    state_->selectApplication(selected);
    answerArtifacts(std::move(artifacts));
}

InstalledApplication UninstallerFixture::application(const std::string& id, const QString& name, std::int64_t size, const QString& version) {
    InstalledApplication application;
    application.id = "/home/maya/.local/share/applications/" + id + ".desktop";
    application.path = application.id;
    application.name = name;
    application.desktopFileID = QString::fromStdString(id);
    application.version = version;
    application.size = size;
    return application;
}

AppArtifact UninstallerFixture::artifact(const Path& path, std::int64_t size, ArtifactCategory category, bool selected) {
    AppArtifact artifact;
    artifact.path = path;
    artifact.size = size;
    artifact.category = category;
    artifact.isSelected = selected;
    return artifact;
}
