#pragma once

#include <filesystem>
#include <optional>

// Where an application installed in a folder of its own keeps its program: the folder that is the
// whole install, which goes as one. Says only what the layout shows; whether the folder is the
// application's alone (no general folder, no other program's) is for the caller to judge.
namespace InstallFolder {

// The install a program file lies in: the nearest folder named NAME.app above it, as Zed's and
// kitty's installers make them (~/.local/zed.app/libexec/zed-editor); else the folder above its
// bin/, or above its libexec/ where that has bin/ or lib/ beside it; else the program's own folder.
// Nothing above `home` is looked at.
std::filesystem::path around(const std::filesystem::path& programFile, const std::filesystem::path& home);

// Whether an AppImage lies in the folder a helper made for it alone, named as the AppImage is
// (~/Applications/obsidian/obsidian): that folder is its install.
bool isKeptAlone(const std::filesystem::path& appImageFile);

}  // namespace InstallFolder
