#pragma once

#include "Foundation/FolderAnswers.h"
#include "Platform/ProgramInstalls.h"
#include "Platform/SystemRoots.h"
#include "Platform/WindowsAttributes.h"

#include <string>
#include <vector>

// The user's own files in a search, found from what is on disk: what a user means to clean up lies
// there, and nothing else is proposed for it.
//  - Searching the home, or a folder above it: the XDG user folders (Desktop, Documents, Downloads,
//    Music, Pictures, Videos, Public, Templates, as user-dirs.dirs names them) and the files at the
//    home's top; above the home, also the drives mounted under /media, /mnt and /run/media.
//  - Searching a folder the user chose (a photo folder, an external drive): that folder, unless it is
//    hidden, lies in ~/snap or lies in a program's install.
// Never inside a hidden folder below the home or the chosen folder (an application's data), inside
// ~/snap, or inside a program's install (see ProgramInstalls); a user folder and the home are never
// an install themselves, and a chosen folder or drive is one only as the top of a program's tree.
// On a drive Windows laid out, never in its programs' folders or their data (see WindowsLayout), nor
// in what Windows marks hidden or system where that mark can be read (see WindowsAttributes).
// Other folders at the home's top (~/opt, ~/sdk, ~/Games, ~/R) are where programs put themselves.
// Safe to ask from any number of threads.
class UserOwnFiles {
public:
    enum class Standing {
        own,              // among the user's own files
        elsewhere,        // outside them: another folder of the home, another user's, the system's
        install,          // inside a program's install
        applicationData,  // inside a hidden folder of the home or the chosen folder, or in ~/snap
    };

    // Where a file stands, and the install or application folder that holds it where one is known.
    struct Place {
        Standing standing = Standing::own;
        std::string folder;
    };

    // `searchRoot` is the searched folder's real path; `installs` answers for the folders in it;
    // `attributes` tells what Windows hides. Both outlive this.
    UserOwnFiles(std::string searchRoot, const SystemRoots& roots, ProgramInstalls& installs, const WindowsAttributes& attributes);

    Place placeOf(const std::string& path);

    // Whether `path` lies where files pass through rather than stay: Downloads or the Desktop, the
    // user's or those of a Windows user's profile.
    bool inPassingFolder(const std::string& path);

private:
    // The folder of the user's own files that holds `path`, or nothing.
    std::optional<std::string> baseOf(const std::string& path) const;
    bool chosenOrDrive(const std::string& base) const;
    bool topsProgramTree(const std::string& base);
    std::string snapFolder(const std::string& path) const;
    // Where Windows keeps programs or their data, or what it hides, at a folder below `from` on the
    // way to `path`, or at `path` itself; nothing where none is.
    std::optional<Place> windowsPlace(const std::string& path, const std::string& from);
    bool hiddenByWindows(const std::string& path);
    bool isWindowsProfile(const std::string& folder);

    std::string root_;
    std::string home_;
    std::string snap_;
    ProgramInstalls& installs_;
    bool searchesHome_ = false;  // the home or a folder above it
    Place chosenPlace_;  // of a chosen folder as a whole
    std::vector<std::string> userFolders_;
    std::vector<std::string> drives_;
    std::vector<std::string> passing_;
    FolderAnswers<bool> treeTops_;
    const WindowsAttributes& attributes_;
    FolderAnswers<bool> hiddenByWindows_;
    FolderAnswers<bool> windowsProfiles_;
};
