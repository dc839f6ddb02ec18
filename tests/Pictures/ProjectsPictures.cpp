#include "Pictures/PictureRegistry.h"

#include "Views/Projects/ProjectStopConfirmation.h"
#include "Views/Projects/ProjectsPage.h"

#include <QVBoxLayout>

namespace {

const Instant now = Instant::fromReferenceSeconds(800'000'000);

DevProject project(const std::string& name, const std::string& runtime, int processes, std::vector<int> ports, std::uint64_t memory,
                   double quiet, double age, double load) {
    DevProject result;
    result.id = "/home/dev/" + name;
    result.name = name;
    result.root = result.id;
    result.runtime = runtime;
    for (int i = 0; i < processes; ++i) result.pids.push_back(4000 + i);
    result.memory = memory;
    result.ports = std::move(ports);
    result.startedAt = now.addingSeconds(-age);
    result.lastActiveAt = now.addingSeconds(-quiet);
    result.lifetimeLoad = load;
    return result;
}

std::unique_ptr<QWidget> page(const std::vector<DevProject>& projects) {
    auto frame = std::make_unique<QWidget>();
    frame->setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(frame.get());
    layout->setContentsMargins(28, 28, 28, 28);
    auto* projectsPage = new ProjectsPage(nullptr, nullptr, [] { return now; });
    projectsPage->present(projects, now);
    layout->addWidget(projectsPage);
    return frame;
}

}  // namespace

static const PictureRegistration projects("projects", [](PictureContext& pictures) {
    const std::vector<DevProject> running{
        project("storefront", "node", 4, {3000, 3001, 5173, 9229, 24678}, 812'000'000, 5, 3 * 3600, 0.2),
        project("analytics-api", "python3", 1, {8000}, 240'000'000, 2400, 5 * 3600, 0.01),
        project("docs-site", "ruby", 1, {4000}, 96'000'000, 7200, 3 * 86400, 0.0004),
        project("worker", "go", 2, {}, 41'000'000, 400, 7200, 0.05),
    };
    pictures.render("projects-running", QSize(1180, 760), [&] { return page(running); });
    pictures.render("projects-empty", QSize(1180, 620), [&] { return page({}); });
    // A stop under way, one the server outlived, and a project whose folder's file system is silent.
    std::vector<DevProject> troubled = running;
    troubled[0].stop = ProjectStop::stopping;
    troubled[1].stop = ProjectStop::stillRunning;
    troubled[3].folderAnswers = false;
    pictures.render("projects-stops-and-silent-folder", QSize(1180, 760), [&] { return page(troubled); });
    // After Stop: one project the system refused, one that restarted while the question was open.
    pictures.render("projects-stop-notice", QSize(560, 300),
                    [&] { return ProjectStopConfirmation::makeFailureNotice({running[1]}, {running[0]}); });
});
