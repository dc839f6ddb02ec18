#include "Views/Projects/ProjectStatusPill.h"

#include "Models/AppLocalization.h"
#include "Views/Common/IsolatedText.h"
#include "Views/DesignSystem/DS.h"
#include "Views/Projects/ProjectFormat.h"

bool ProjectStatusPill::isWorking(const DevProject& project, Instant now) { return now.secondsSince(project.lastActiveAt) < 60; }

std::optional<ProjectStatusPill::Shown> ProjectStatusPill::status(const DevProject& project, Instant now) {
    const double quiet = now.secondsSince(project.lastActiveAt);
    if (isWorking(project, now)) return Shown{Status::working, AppLocalization::string("projects.working")};
    if (project.startedAt) {
        const double running = now.secondsSince(*project.startedAt);
        if (running > 86400 && project.lifetimeLoad < 0.001)
            return Shown{Status::barelyUsed, AppLocalization::format("projects.barelyUsed", {isolated(ProjectFormat::duration(running))})};
    }
    if (quiet > 300) return Shown{Status::idle, AppLocalization::format("projects.idleFor", {isolated(ProjectFormat::duration(quiet))})};
    return std::nullopt;
}

ProjectStatusPill::ProjectStatusPill(const DevProject& project, Instant now, QWidget* parent) : Pill({}, {}, DS::gray, parent) {
    const std::optional<Shown> shown = status(project, now);
    if (!shown) {
        hide();
        return;
    }
    setText(shown->text);
    const bool working = shown->status == Status::working;
    setSymbol(working ? QStringLiteral("bolt.fill") : QStringLiteral("moon.fill"));
    setTint(working ? DS::green : DS::gray);
}
