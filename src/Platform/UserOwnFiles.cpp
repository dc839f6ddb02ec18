#include "Platform/UserOwnFiles.h"

#include "Foundation/LiesWithin.h"
#include "Platform/MountTable.h"
#include "Platform/RealPath.h"
#include "Platform/WindowsLayout.h"

#include <algorithm>
#include <array>

namespace fs = std::filesystem;

namespace {

// The first hidden folder of `path` below `folder` (".mozilla", ".local", ".pyenv"), or nothing.
std::optional<std::string> hiddenBelow(std::string_view path, std::string_view folder) {
    const std::size_t from = folder == "/" ? 0 : std::min(path.size(), folder.size());
    const std::size_t hidden = path.find("/.", from);
    if (hidden == std::string_view::npos) return std::nullopt;
    return std::string(path.substr(0, path.find('/', hidden + 1)));
}

// The drives mounted under the folders where the desktop and the user mount them.
std::vector<std::string> mountedDrives(const SystemRoots& roots) {
    constexpr std::array driveFolders{std::string_view("/media"), std::string_view("/mnt"), std::string_view("/run/media")};
    std::vector<std::string> drives;
    for (const MountTable::Mount& mount : MountTable::mounted(roots.proc)) {
        const std::string point = mount.point.lexically_normal().native();
        if (std::none_of(driveFolders.begin(), driveFolders.end(), [&](std::string_view folder) { return point != folder && liesWithinText(point, folder); }))
            continue;
        drives.push_back(comparableFolder(roots.root == "/" ? fs::path(point) : roots.underRoot(point)).string());
    }
    return drives;
}

// Folders every program and user shares, never one program's install.
constexpr std::array sharedFolders{std::string_view("/tmp"), std::string_view("/var/tmp"), std::string_view("/dev/shm"), std::string_view("/media"),
                                   std::string_view("/mnt"), std::string_view("/run/media")};

// The longest of `folders` that holds `path`.
std::optional<std::string> holder(const std::vector<std::string>& folders, const std::string& path) {
    std::optional<std::string> found;
    for (const std::string& folder : folders)
        if (liesWithinText(path, folder) && (!found || folder.size() > found->size())) found = folder;
    return found;
}

}  // namespace

UserOwnFiles::UserOwnFiles(std::string searchRoot, const SystemRoots& roots, ProgramInstalls& installs, const WindowsAttributes& attributes)
    : root_(std::move(searchRoot)), home_(comparableFolder(roots.home).string()), snap_(home_ + "/snap"), installs_(installs), attributes_(attributes) {
    // A user folder set to the home itself, or to a folder above it, names no folder of its own.
    for (const fs::path& folder : roots.userFolders)
        if (std::string real = comparableFolder(folder).string(); !liesWithinText(home_, real)) userFolders_.push_back(std::move(real));
    for (const fs::path& folder : {roots.downloads, roots.desktop})
        if (std::string real = comparableFolder(folder).string(); !liesWithinText(home_, real)) passing_.push_back(std::move(real));
    searchesHome_ = liesWithinText(home_, root_);
    if (searchesHome_) {
        if (root_ != home_) drives_ = mountedDrives(roots);
        return;
    }
    if (liesWithinText(root_, snap_)) {
        chosenPlace_ = {Standing::applicationData, snapFolder(root_)};
        return;
    }
    if (auto hidden = hiddenBelow(root_, liesWithinText(root_, home_) ? home_ : "/")) {
        chosenPlace_ = {Standing::applicationData, std::move(*hidden)};
        return;
    }
    // A chosen folder inside an install is part of it: its folders above are asked up to the user
    // folder, the home, the drive or the shared folder that holds it, which are never one.
    std::vector<std::string> tops = userFolders_;
    tops.push_back(home_);
    for (std::string& drive : mountedDrives(roots)) tops.push_back(std::move(drive));
    for (std::string_view shared : sharedFolders) {
        for (const std::string& folder : {std::string(shared), comparableFolder(roots.underRoot(std::string(shared))).string()}) {
            tops.push_back(folder);
            // Where the desktop mounts drives, one folder per user: "/media/NAME", "/run/media/NAME".
            if (shared.ends_with("media") && liesWithinText(root_, folder) && root_ != folder)
                tops.push_back(root_.substr(0, root_.find('/', folder.size() + 1)));
        }
    }
    const std::string top = holder(tops, root_).value_or("/");
    if (top == root_) return;
    if (auto windows = windowsPlace(root_, top)) chosenPlace_ = std::move(*windows);
    else if (auto install = installs_.installHolding(root_, top)) chosenPlace_ = {Standing::install, std::move(*install)};
}

std::optional<std::string> UserOwnFiles::baseOf(const std::string& path) const {
    if (!searchesHome_) return liesWithinText(path, root_) ? std::optional(root_) : std::nullopt;
    if (folderOfText(path) == home_) return home_;
    if (auto folder = holder(userFolders_, path)) return folder;
    return holder(drives_, path);
}

bool UserOwnFiles::chosenOrDrive(const std::string& base) const {
    if (std::find(userFolders_.begin(), userFolders_.end(), base) != userFolders_.end()) return false;
    return !searchesHome_ || std::find(drives_.begin(), drives_.end(), base) != drives_.end();
}

bool UserOwnFiles::topsProgramTree(const std::string& base) {
    return treeTops_.of(base, [&] { return installs_.topsProgramTree(base); });
}

UserOwnFiles::Place UserOwnFiles::placeOf(const std::string& path) {
    if (chosenPlace_.standing != Standing::own) return chosenPlace_;
    if (liesWithinText(path, snap_)) return {Standing::applicationData, snapFolder(path)};
    if (liesWithinText(path, home_))
        if (auto hidden = hiddenBelow(path, home_)) return {Standing::applicationData, std::move(*hidden)};
    const std::optional<std::string> base = baseOf(path);
    // Outside them, where an install is known it is named: below the home, or in the searched folder.
    if (!base) {
        if (auto install = installs_.installHolding(path, liesWithinText(path, home_) ? home_ : root_)) return {Standing::install, std::move(*install)};
        return {Standing::elsewhere, {}};
    }
    if (auto hidden = hiddenBelow(path, *base)) return {Standing::applicationData, std::move(*hidden)};
    if (auto windows = windowsPlace(path, *base)) return std::move(*windows);
    // One file directly in a user folder, the home or a chosen folder is a loose copy; a chosen
    // folder or a drive that tops a program's tree is that program's.
    if (chosenOrDrive(*base) && topsProgramTree(*base)) return {Standing::install, *base};
    if (auto install = installs_.installHolding(path, *base)) return {Standing::install, std::move(*install)};
    return {};
}

// "~/snap/firefox" for anything below it.
std::string UserOwnFiles::snapFolder(const std::string& path) const {
    const std::size_t end = path.find('/', snap_.size() + 1);
    return end == std::string::npos ? path : path.substr(0, end);
}

std::optional<UserOwnFiles::Place> UserOwnFiles::windowsPlace(const std::string& path, const std::string& from) {
    for (std::size_t end = from == "/" ? 0 : from.size(); end != std::string::npos;) {
        end = path.find('/', end + 1);
        const std::string folder = path.substr(0, end);
        if (const std::optional<WindowsLayout::Holds> holds = WindowsLayout::holds(folder))
            return Place{*holds == WindowsLayout::Holds::programs ? Standing::install : Standing::applicationData, folder};
        if (hiddenByWindows(folder)) return Place{Standing::applicationData, folder};
    }
    return std::nullopt;
}

bool UserOwnFiles::hiddenByWindows(const std::string& path) {
    return attributes_.anyMounted() && hiddenByWindows_.of(path, [&] { return attributes_.hiddenOrSystem(path); });
}

bool UserOwnFiles::inPassingFolder(const std::string& path) {
    if (holder(passing_, path)) return true;
    // A Windows user's Downloads and Desktop, on a drive Windows wrote.
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        const std::size_t next = path.find('/', slash + 1);
        if (next == std::string::npos) return false;
        const std::string_view name = std::string_view(path).substr(slash + 1, next - slash - 1);
        if ((name == "Downloads" || name == "Desktop") && isWindowsProfile(path.substr(0, slash))) return true;
    }
    return false;
}

bool UserOwnFiles::isWindowsProfile(const std::string& folder) {
    return windowsProfiles_.of(folder, [&] { return WindowsLayout::isUserProfile(folder); });
}
