#pragma once

#include "Platform/DesktopEntry.h"
#include "Platform/SystemRoots.h"

#include <filesystem>
#include <optional>
#include <vector>

// The program a desktop entry starts, found as the desktop finds it: Linux's counterpart of the
// executable inside an application bundle. Whether it is the application's own is for its caller
// to decide; this says where it is and whether it could be.
struct EntryProgram {
    enum class Found {
        // No Exec line, a path relative to a folder nobody knows, a folder that cannot be read, or
        // a launcher we cannot find handed an address ("steam steam://rungameid/413150").
        unknown,
        nowhere,  // named, but no such program exists: its application is gone
        present,
    };
    Found found = Found::unknown;
    std::filesystem::path path;  // as Exec names it, under the roots; set when present
    // With every link resolved: what tells two entries running one program. Set when present.
    std::filesystem::path realFile;
    // One file of the user's that stands alone: a regular file of theirs in the home folder with no other
    // name, named itself rather than through a link, and outside any environment or install tree
    // (a Python or Node environment, a conda, pipx, npm, Toolbox or Steam tree, a program's own
    // bin/ beside its lib/) and installed by no Python package. Moving it takes nothing from
    // anything else.
    bool standsAlone = false;

    // What Exec names, past "env" and its settings: "~/" is the home folder, a bare name is looked
    // up in `searchPath` as the session would, then in the usual program folders.
    static EntryProgram of(const DesktopEntry& entry, const SystemRoots& roots, const std::vector<std::filesystem::path>& searchPath);

    bool operator==(const EntryProgram&) const = default;
};
