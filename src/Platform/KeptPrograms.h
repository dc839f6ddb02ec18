#pragma once

#include "Platform/SystemRoots.h"

#include <filesystem>
#include <vector>

// The programs a user keeps outside the desktop's entries, wherever people keep them: the session's
// search path, the home's program folders (~/.local/bin, ~/bin, ~/.cargo/bin, ~/go/bin, Nix's and
// Homebrew's, Flatpak's and Snap's exported programs, /usr/local/bin), and the places AppImages and
// unpacked applications are kept (~/Applications, ~/AppImages, ~/Downloads, ~/Desktop, ~/opt,
// ~/.local/opt, the home's top). An install there may use what an application's entry leaves.
namespace KeptPrograms {

// Each program found, as it lies (a link as the link): an executable file, or an AppImage by its
// name, directly in one of those folders, or one folder deeper (and in that folder's bin/) in the
// folders applications are unpacked into. Each folder is read once; a folder that cannot be read
// adds nothing.
std::vector<std::filesystem::path> everywhere(const SystemRoots& roots, const std::vector<std::filesystem::path>& searchPath);

}  // namespace KeptPrograms
