#pragma once

#include "Platform/TrackedPaths.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// What chezmoi's source folder names in the home: each of its entries stands for a file or folder
// of the home, named with chezmoi's attributes ("dot_config/private_nvim/init.lua.tmpl" is
// ~/.config/nvim/init.lua).
namespace ChezmoiSource {

// The name in the home a source entry stands for: "dot_config" is ".config",
// "private_executable_dot_netrc.tmpl" is ".netrc", "literal_dot_x" is "dot_x". Nothing for an entry
// that makes nothing there: a script ("run_…"), a removal ("remove_…"), chezmoi's own files (".chezmoi…").
std::optional<std::string> targetName(std::string_view sourceName, bool folder);

// The paths of the home the source at `folder` names (from its root, where its ".chezmoiroot"
// sets one): none when there is no source; nothing, as it cannot be told, when a folder of it
// cannot be read.
std::optional<TrackedPaths> targets(const std::filesystem::path& folder);

}  // namespace ChezmoiSource
