#pragma once

#include "Foundation/Instant.h"
#include "Models/DevProject.h"

#include <vector>

// Which projects are idle servers worth stopping: listening on a port, quiet for a minute at
// least, and either quiet for more than 15 minutes or running for more than a day with almost no
// processor use over its whole life.
namespace IdleRule {

bool isIdleServer(const DevProject& project, Instant now);

// The idle servers of `projects`, in their order.
std::vector<DevProject> idleServers(const std::vector<DevProject>& projects, Instant now);

}  // namespace IdleRule
