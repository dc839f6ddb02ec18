#pragma once

#include "Platform/SystemRoots.h"

#include <filesystem>
#include <optional>
#include <string_view>

// The tools name their folders as they are laid out on the desktop the tables were first written for
// ("Library/Caches/Yarn", "Downloads"); this is the one place that says where each is on Linux.
namespace PlatformLocations {

// The Linux folder for a folder named relative to the home folder; none where Linux has no
// counterpart (user logs, Xcode, the simulator, Docker Desktop's cache).
std::optional<std::filesystem::path> homeFolder(std::string_view original, const SystemRoots& roots);

}  // namespace PlatformLocations
