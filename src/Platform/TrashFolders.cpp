#include "Platform/TrashFolders.h"

#include "Foundation/LiesWithin.h"
#include "Platform/MountTable.h"
#include "Platform/RealPath.h"
#include "Platform/SystemRoots.h"

#include <algorithm>

namespace fs = std::filesystem;

namespace {

// The path with its links resolved as far as it exists, the rest kept as written.
fs::path resolvedAsFarAsItExists(const fs::path& path) {
    fs::path existing = path.lexically_normal();
    fs::path rest;
    while (true) {
        if (auto resolved = realPath(existing)) return rest.empty() ? *resolved : *resolved / rest;
        if (!existing.has_relative_path()) return path.lexically_normal();
        rest = rest.empty() ? existing.filename() : existing.filename() / rest;
        existing = existing.parent_path();
    }
}

// The item's folder resolved, the item itself as it is: a link is not where it leads.
fs::path withFolderResolved(const fs::path& path) {
    fs::path item = path.lexically_normal();
    if (!item.has_filename() && item.has_relative_path()) item = item.parent_path();
    if (!item.has_relative_path()) return item;
    return resolvedAsFarAsItExists(item.parent_path()) / item.filename();
}

// Every other path at which the folder `place` shows, itself or in part, through the mount table.
std::vector<std::string> otherPlaces(const fs::path& place, const std::vector<MountTable::Mount>& mounts) {
    // The mount that holds it is the last one listed with the longest mount point above it.
    const MountTable::Mount* holder = nullptr;
    for (const MountTable::Mount& mount : mounts)
        if (liesWithin(place, mount.point) && (!holder || mount.point.native().size() >= holder->point.native().size())) holder = &mount;
    if (!holder) return {};
    const fs::path inFileSystem = holder->root / place.lexically_relative(holder->point);
    std::vector<std::string> places;
    for (const MountTable::Mount& mount : mounts) {
        if (mount.device != holder->device) continue;
        // A folder in the trash mounted elsewhere, or a folder holding the trash: the trash shows there.
        if (liesWithin(mount.root, inFileSystem)) places.push_back(mount.point.native());
        else if (liesWithin(inFileSystem, mount.root)) places.push_back((mount.point / inFileSystem.lexically_relative(mount.root)).lexically_normal().native());
    }
    return places;
}

}  // namespace

TrashFolders TrashFolders::current() {
    TrashFolders folders;
    const SystemRoots roots = SystemRoots::current();
    const fs::path place = roots.dataHome / "Trash";
    if (!place.has_relative_path()) return folders;
    folders.homePlace_ = resolvedAsFarAsItExists(place);
    folders.places_ = otherPlaces(folders.homePlace_, MountTable::mounted(roots.proc));
    folders.places_.push_back(folders.homePlace_.native());
    return folders;
}

bool TrashFolders::isMountTrashName(std::string_view name) {
    if (name == ".Trash" || name == ".Trashes") return true;  // ".Trashes": macOS's, on a drive it wrote
    if (!name.starts_with(".Trash-") || name.size() == 7) return false;
    return name.find_first_not_of("0123456789", 7) == std::string_view::npos;
}

bool TrashFolders::isTrashPlace(const std::string& path) const { return std::find(places_.begin(), places_.end(), path) != places_.end(); }

bool TrashFolders::isTrashFolder(const std::string& directory, std::string_view name) const {
    if (isMountTrashName(name)) return true;
    std::string path = directory;
    path.append("/").append(name);
    return isTrashPlace(path);
}

bool TrashFolders::isWithinTrash(const fs::path& path) const {
    for (fs::path folder = withFolderResolved(path);; folder = folder.parent_path()) {
        if (isMountTrashName(folder.filename().native()) || isTrashPlace(folder.native())) return true;
        if (!folder.has_relative_path()) return false;
    }
}

bool TrashFolders::holdsHomeTrash(const fs::path& path) const {
    return !homePlace_.empty() && !path.empty() && liesWithin(homePlace_, withFolderResolved(path));
}
