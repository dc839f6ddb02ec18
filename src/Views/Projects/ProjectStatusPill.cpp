#include "Views/Projects/ProjectStatusPill.h"

#include "Models/AppLocalization.h"
#include "Views/DesignSystem/DS.h"
#include "Views/Projects/ProjectFormat.h"

bool ProjectStatusPill::isWorking(const DevProject& project, Instant now) { return now.secondsSince(project.lastActiveAt) < 60; }

std::optional<ProjectStatusPill::Shown> ProjectStatusPill::notice(const DevProject& project) {
    if (project.stop == ProjectStop::stillRunning) return Shown{Status::stillRunning, AppLocalization::string("projects.stillRunning")};
    if (project.stop == ProjectStop::stopping) return Shown{Status::stopping, AppLocalization::string("projects.stopping")};
    if (!project.folderAnswers) return Shown{Status::folderNotAnswering, AppLocalization::string("projects.folderNotAnswering")};
    return std::nullopt;
}

std::optional<ProjectStatusPill::Shown> ProjectStatusPill::status(const DevProject& project, Instant now) {
    if (auto shown = notice(project)) return shown;
    const double quiet = now.secondsSince(project.lastActiveAt);
    if (isWorking(project, now)) return Shown{Status::working, AppLocalization::string("projects.working")};
    if (project.startedAt) {
        const double running = now.secondsSince(*project.startedAt);
        if (running > 86400 && project.lifetimeLoad < 0.001)
            return Shown{Status::barelyUsed, AppLocalization::format("projects.barelyUsed", {ProjectFormat::duration(running)})};
    }
    if (quiet > 300) return Shown{Status::idle, AppLocalization::format("projects.idleFor", {ProjectFormat::duration(quiet)})};
    return std::nullopt;
}

ProjectStatusPill::ProjectStatusPill(const DevProject& project, Instant now, QWidget* parent) : Pill({}, {}, DS::gray, parent) {
    const std::optional<Shown> shown = status(project, now);
    if (!shown) {
        hide();
        return;
    }
    setText(shown->text);
    switch (shown->status) {
    case Status::stillRunning:
    case Status::folderNotAnswering:
        setSymbol(QStringLiteral("exclamationmark.triangle.fill"));
        setTint(DS::orange);
        break;
    case Status::stopping:
        setSymbol(QStringLiteral("stop.circle"));
        setTint(DS::orange);
        break;
    case Status::working:
        setSymbol(QStringLiteral("bolt.fill"));
        setTint(DS::green);
        break;
    case Status::barelyUsed:
    case Status::idle:
        setSymbol(QStringLiteral("moon.fill"));
        setTint(DS::gray);
        break;
    }
}
