#pragma once

#include <optional>
#include <string>
#include <string_view>

// The folders Windows keeps on its drives, known by the names Windows gives them. A drive from a
// dual-boot laptop, a USB stick or a card written by Windows holds them beside the user's own files,
// and Linux shows them as any other folder.
namespace WindowsLayout {

// A recycle bin or a folder of the system's own at a drive's top: "$Recycle.Bin" (and XP's
// "RECYCLER", Windows 98's "RECYCLED"), "System Volume Information" (restore points, the search
// index) and the upgrade's "$WINDOWS.~BT", "$WinREAgent", "$SysReset". What lies there was thrown
// away or is the system's, so no tool searches it.
bool isSystemFolder(std::string_view name);
// Whether `path`, or a folder it lies in, is one.
bool liesInSystemFolder(std::string_view path);

// What a folder holds where Windows laid it out: its programs ("Program Files", "Program Files
// (x86)", and "Windows" where it holds System32) or their data ("ProgramData", a user's "AppData").
enum class Holds { programs, applicationData };
// Of the folder at `folder`; only a folder named "Windows" is asked of the disk.
std::optional<Holds> holds(const std::string& folder);

// Whether `folder` is a Windows user's profile ("Users/Ann"): it holds the user's registry hive.
bool isUserProfile(const std::string& folder);

}  // namespace WindowsLayout
