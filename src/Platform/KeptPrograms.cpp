#include "Platform/KeptPrograms.h"

#include "Platform/FolderListing.h"

#include <sys/stat.h>

#include <set>
#include <string>

namespace fs = std::filesystem;

namespace {

// A program: a regular file that may run, or an AppImage by its name (one just downloaded may not
// have been made executable yet). No file is opened, so a FIFO never blocks the reading.
bool isProgram(const fs::path& entry) {
    struct stat info {};
    if (::stat(entry.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    return (info.st_mode & 0111) != 0 || FolderListing::lowercaseExtension(entry) == "appimage";
}

struct ProgramSearch {
    std::vector<fs::path> found;
    std::set<fs::path> read;

    // The programs directly in `folder`, and with `deeper` those of each folder in it and of its bin/.
    void programsIn(const fs::path& folder, bool deeper) {
        if (!read.insert(folder.lexically_normal()).second) return;
        for (fs::path& entry : FolderListing::entries(folder).value_or(std::vector<fs::path>{})) {
            if (FolderListing::isHidden(entry)) continue;
            if (isProgram(entry)) found.push_back(std::move(entry));
            else if (deeper && FolderListing::isFolder(entry)) {
                programsIn(entry, false);
                programsIn(entry / "bin", false);
            }
        }
    }
};

}  // namespace

std::vector<fs::path> KeptPrograms::everywhere(const SystemRoots& roots, const std::vector<fs::path>& searchPath) {
    ProgramSearch reading;
    for (const fs::path& folder : searchPath)
        if (folder.is_absolute()) reading.programsIn(roots.underRoot(folder), false);
    const fs::path& home = roots.home;
    for (const fs::path& folder : {home / ".local/bin", home / "bin", home / ".cargo/bin", home / "go/bin", home / ".nix-profile/bin",
                                   home / ".linuxbrew/bin", roots.dataHome / "flatpak/exports/bin", home})
        reading.programsIn(folder, false);
    for (const char* folder : {"/home/linuxbrew/.linuxbrew/bin", "/var/lib/flatpak/exports/bin", "/snap/bin", "/usr/local/bin"})
        reading.programsIn(roots.underRoot(folder), false);
    for (const fs::path& folder : {roots.downloads, roots.desktop, home / "Downloads", home / "Desktop"}) reading.programsIn(folder, false);
    for (const fs::path& folder : {home / "Applications", home / "AppImages", home / "opt", home / ".local/opt"}) reading.programsIn(folder, true);
    return std::move(reading.found);
}
