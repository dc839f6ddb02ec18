#pragma once

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

private:
    std::mutex mutex_;
};
