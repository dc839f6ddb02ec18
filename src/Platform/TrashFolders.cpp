#include "Platform/TrashFolders.h"

#include "Foundation/LiesWithin.h"
#include "Platform/RealPath.h"
#include "Platform/SystemRoots.h"

#include <algorithm>
#include <fstream>
#include <sstream>

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

// One line of the mount table: which file system, which of its folders, and where it shows.
struct Mount {
    std::string device;  // "major:minor"
    fs::path root;       // the folder of the file system that is mounted
    fs::path point;
};

// The table writes a space, tab, newline and backslash in a path as an octal escape.
fs::path unescaped(const std::string& text) {
    auto isOctal = [&](std::size_t at) { return text[at] >= '0' && text[at] <= '7'; };
    std::string path;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && isOctal(i + 1) && isOctal(i + 2) && isOctal(i + 3)) {
            path.push_back(static_cast<char>(std::stoi(text.substr(i + 1, 3), nullptr, 8)));
            i += 3;
        } else {
            path.push_back(text[i]);
        }
    }
    return path;
}

// "<id> <parent> <major:minor> <root> <mount point> …"; nothing when the table cannot be read.
std::vector<Mount> mountTable(const fs::path& proc) {
    std::vector<Mount> mounts;
    std::ifstream table(proc / "self/mountinfo");
    for (std::string line; std::getline(table, line);) {
        std::istringstream fields(line);
        std::string id, parent, device, root, point;
        if (fields >> id >> parent >> device >> root >> point) mounts.push_back({device, unescaped(root), unescaped(point)});
    }
    return mounts;
}

// Every other path at which the folder `place` shows, itself or in part, through the mount table.
std::vector<std::string> otherPlaces(const fs::path& place, const std::vector<Mount>& mounts) {
    // The mount that holds it is the last one listed with the longest mount point above it.
    const Mount* holder = nullptr;
    for (const Mount& mount : mounts)
        if (liesWithin(place, mount.point) && (!holder || mount.point.native().size() >= holder->point.native().size())) holder = &mount;
    if (!holder) return {};
    const fs::path inFileSystem = holder->root / place.lexically_relative(holder->point);
    std::vector<std::string> places;
    for (const Mount& mount : mounts) {
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
    folders.places_ = otherPlaces(folders.homePlace_, mountTable(roots.proc));
    folders.places_.push_back(folders.homePlace_.native());
    return folders;
}

bool TrashFolders::isMountTrashName(std::string_view name) {
    if (name == ".Trash") return true;
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
