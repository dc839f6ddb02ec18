#pragma once

#include "Foundation/PlaceIndex.h"
#include "Models/AppArtifact.h"
#include "Models/InstalledApplication.h"
#include "Services/UninstallError.h"

#include <filesystem>
#include <mutex>
#include <vector>

// Finds the installed applications (desktop entries) and what each leaves in the user's folders,
// and moves chosen items to the Trash. Keeps nothing between calls; calls never overlap.
class UninstallerService {
public:
    // Both applications folders, ordered by name; never fails.
    std::vector<InstalledApplication> installedApplications();

    // The application and its leftovers: the application first, then by size, largest first. Ticked:
    // the items named after the application; a package's files are locked. Never fails.
    std::vector<AppArtifact> artifacts(const InstalledApplication& application);

    // Moves the selected artifacts to the Trash in order, links as links and never a package's
    // file, and returns their new locations. Throws UninstallError, carrying the items moved, when
    // the Trash refused any; the others are moved all the same.
    std::vector<std::filesystem::path> moveToTrash(const std::vector<AppArtifact>& artifacts);

    // Every file and folder that the desktop's entries (applications, what starts at login, the
    // launchers on the Desktop, the file managers' actions) and the files of the home's program
    // folders run or work in, links resolved, each with the name of a file that runs it. Read afresh.
    static PlaceIndex placesRun();

private:
    std::mutex mutex_;
};
