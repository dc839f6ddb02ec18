#pragma once

#include "Services/AppState.h"
#include "Services/FakeAppServices.h"

#include <filesystem>
#include <memory>
#include <vector>

// An AppState over fake services for the uninstaller screen: the screen's loads wait until the test
// answers them with the applications and leftovers it wants shown.
class UninstallerFixture {
public:
    using Path = std::filesystem::path;

    UninstallerFixture();
    ~UninstallerFixture();

    AppState& state() { return *state_; }

    // Answers the oldest unanswered application load (starting one when none is waiting) and lets it publish.
    void answerApplications(std::vector<InstalledApplication> applications);
    // Answers the leftover search started last, once it has reached the fake, and lets it publish.
    void answerArtifacts(std::vector<AppArtifact> artifacts);
    // The applications listed and `selected`'s leftovers shown, as after the screen's first load.
    void listAndSelect(std::vector<InstalledApplication> applications, const InstalledApplication& selected, std::vector<AppArtifact> artifacts);

    static InstalledApplication application(const std::string& id, const QString& name, std::int64_t size, const QString& version = "1.0");
    static AppArtifact artifact(const Path& path, std::int64_t size, ArtifactCategory category, bool selected = true);

    FakeAppServices fake;

private:
    std::size_t answeredLoads_ = 0;
    std::size_t answeredSearches_ = 0;
    std::unique_ptr<AppState> state_;
};
