#pragma once

#include "Platform/SystemRoots.h"

#include <filesystem>
#include <string_view>
#include <vector>

// The startup-item, uninstaller, cleanup and developer-cache tables name the folders of the desktop
// they were first written for ("Library/LaunchAgents", "/Applications", "Library/Caches"); this says
// where each is on Linux.
namespace LinuxLocations {

// The Linux folders for a folder the tables name: absolute ("/Library/LaunchDaemons") or below the
// home folder ("Library/Preferences", "Library/Caches/Homebrew", "Downloads", ".npm/_cacache").
// A folder inside a mapped one maps with it; the tools' own dot folders stay where they are. Empty
// where Linux has no counterpart (user logs, Xcode, Docker Desktop's cache).
std::vector<std::filesystem::path> folders(std::string_view original, const SystemRoots& roots);

// The extension that marks an enabled startup file in such a folder ("plist" on the original):
// "desktop" in the autostart folders, "service" among the enabled system units.
std::string_view enabledStartupExtension(std::string_view original);

// An application's own item named by identifier and suffix (".plist", ".savedState") is, on Linux,
// the file or folder named by the identifier alone.
std::string itemName(std::string_view stem, std::string_view originalSuffix);

// Folders of the desktop itself inside the folders above (the trash, the applications and autostart
// folders, the icon, font and MIME databases, the session's settings, sound and keyrings): no
// application's leftovers, whatever their names.
bool isSharedFolder(const std::filesystem::path& path, const SystemRoots& roots);

// Of those, the caches the desktop fills again by itself as files are shown (the thumbnails): no
// application's leftovers, and safe to empty.
bool isRebuiltByTheDesktop(const std::filesystem::path& path, const SystemRoots& roots);

// Folders of the cache folder whose programs keep there what they do not rebuild by themselves and
// nothing on disk marks (Hugging Face's models and login, LM Studio's models, rclone's files waiting
// to upload).
bool isKeptByItsProgram(const std::filesystem::path& path, const SystemRoots& roots);

}  // namespace LinuxLocations
