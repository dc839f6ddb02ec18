#pragma once

#include "Platform/SystemRoots.h"

#include <optional>

// Seconds since the machine booted (/proc/uptime); absent when unreadable or not a plain number.
namespace SystemUptime {

std::optional<double> seconds(const SystemRoots& roots);

}  // namespace SystemUptime
