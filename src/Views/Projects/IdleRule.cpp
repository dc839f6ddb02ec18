#include "Views/Projects/IdleRule.h"

namespace IdleRule {

bool isIdleServer(const DevProject& project, Instant now) {
    if (project.ports.empty()) return false;
    const double quiet = now.secondsSince(project.lastActiveAt);
    if (quiet < 60) return false;
    if (quiet > 900) return true;
    return project.startedAt && now.secondsSince(*project.startedAt) > 86400 && project.lifetimeLoad < 0.001;
}

std::vector<DevProject> idleServers(const std::vector<DevProject>& projects, Instant now) {
    std::vector<DevProject> idle;
    for (const DevProject& project : projects)
        if (isIdleServer(project, now)) idle.push_back(project);
    return idle;
}

}  // namespace IdleRule
