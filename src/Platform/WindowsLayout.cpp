#include "Platform/WindowsLayout.h"

#include "Foundation/AsciiCase.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cctype>

namespace {

bool startsWithName(std::string_view name, std::string_view start) { return name.size() >= start.size() && equalIgnoringAsciiCase(name.substr(0, start.size()), start); }

constexpr std::array windowsSystemFolders{std::string_view("$Recycle.Bin"), std::string_view("System Volume Information"), std::string_view("$WinREAgent"),
                                   std::string_view("$SysReset"), std::string_view("$GetCurrent")};

bool isOfType(const std::string& path, mode_t type) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 && (status.st_mode & S_IFMT) == type;
}

}  // namespace

namespace WindowsLayout {

bool isSystemFolder(std::string_view name) {
    // XP's and 98's bins are written in capitals only; a "Recycler" of the user's own is not one.
    if (name == "RECYCLER" || name == "RECYCLED") return true;
    return startsWithName(name, "$Windows.~") || std::any_of(windowsSystemFolders.begin(), windowsSystemFolders.end(), [&](std::string_view folder) { return equalIgnoringAsciiCase(name, folder); });
}

bool liesInSystemFolder(std::string_view path) {
    for (std::size_t start = 0;;) {
        const std::size_t end = path.find('/', start);
        if (isSystemFolder(path.substr(start, end - start))) return true;
        if (end == std::string_view::npos) return false;
        start = end + 1;
    }
}

std::optional<Holds> holds(const std::string& folder) {
    const std::string_view name = std::string_view(folder).substr(folder.rfind('/') + 1);
    if (equalIgnoringAsciiCase(name, "Program Files") || equalIgnoringAsciiCase(name, "Program Files (x86)")) return Holds::programs;
    if (equalIgnoringAsciiCase(name, "ProgramData") || equalIgnoringAsciiCase(name, "AppData")) return Holds::applicationData;
    // A folder of the user's own may be called "Windows"; the system's holds its programs in System32.
    if (equalIgnoringAsciiCase(name, "Windows") && (isOfType(folder + "/System32", S_IFDIR) || isOfType(folder + "/system32", S_IFDIR))) return Holds::programs;
    return std::nullopt;
}

bool isUserProfile(const std::string& folder) { return isOfType(folder + "/NTUSER.DAT", S_IFREG); }

}  // namespace WindowsLayout
