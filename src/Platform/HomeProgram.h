#pragma once

#include "Platform/DesktopEntry.h"
#include "Platform/SystemRoots.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// The program file a desktop entry runs, when it is the user's own: a regular file in the home
// folder, such as an AppImage kept in ~/Applications. Linux's counterpart of an application bundle
// that holds its program.
struct HomeProgram {
    std::filesystem::path file;  // the real file, every link resolved
    // The link in the home folder that the entry names, when it names one: it would dangle once the
    // program is gone.
    std::optional<std::filesystem::path> link;
    // The bare name Exec gives when the program was found on the search path, where it may be anyone's
    // ("python3" first on PATH from conda); empty when Exec names it by its path.
    std::string searchedName;
    // A launcher, interpreter or runtime, by the name Exec gives or its real file's name: it serves
    // every program it runs, not this application alone.
    bool isLauncher = false;
    // Such a launcher given something to run ("python3 ~/proj/app.py"): the application is what it runs.
    bool runsOtherPrograms = false;

    // What Exec names, past "env" and its settings: "~/" is the home folder, a bare name is looked
    // up in `searchPath` as the system would. Nothing for a program outside the home folder, also
    // when a link in the home folder points at it, and nothing for a relative path.
    static std::optional<HomeProgram> of(const DesktopEntry& entry, const SystemRoots& roots, const std::vector<std::filesystem::path>& searchPath);

    bool operator==(const HomeProgram&) const = default;
};
