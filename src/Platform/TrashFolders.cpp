#include "Platform/TrashFolders.h"

#include "Platform/RealPath.h"
#include "Platform/SystemRoots.h"

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// The folder itself: a link to a folder is not that folder.
std::optional<std::pair<dev_t, ino_t>> folderIdentity(const fs::path& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return std::nullopt;
    return std::pair{info.st_dev, info.st_ino};
}

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

bool liesWithin(const fs::path& path, const fs::path& folder) {
    if (folder == "/") return path.is_absolute();
    return path == folder || path.native().starts_with(folder.native() + "/");
}

}  // namespace

TrashFolders TrashFolders::current() {
    TrashFolders folders;
    const fs::path place = SystemRoots::current().dataHome / "Trash";
    if (!place.has_relative_path()) return folders;
    folders.homePlace_ = resolvedAsFarAsItExists(place);
    folders.homeIdentity_ = folderIdentity(*folders.homePlace_);
    return folders;
}

bool TrashFolders::isMountTrashName(std::string_view name) {
    if (name == ".Trash") return true;
    if (!name.starts_with(".Trash-") || name.size() == 7) return false;
    return name.find_first_not_of("0123456789", 7) == std::string_view::npos;
}

bool TrashFolders::isHomeTrash(const fs::path& folder) const {
    if (homePlace_ && folder == *homePlace_) return true;
    return homeIdentity_ && folderIdentity(folder) == homeIdentity_;
}

bool TrashFolders::isTrashFolder(const std::string& directory, std::string_view name) const {
    return isMountTrashName(name) || isHomeTrash(fs::path(directory) / name);
}

bool TrashFolders::isWithinTrash(const fs::path& path) const {
    // Each folder from the item up: a trash reached through a bind mount has another path but the
    // same folder.
    for (fs::path folder = withFolderResolved(path);; folder = folder.parent_path()) {
        if (isMountTrashName(folder.filename().native()) || isHomeTrash(folder)) return true;
        if (!folder.has_relative_path()) return false;
    }
}

bool TrashFolders::holdsHomeTrash(const fs::path& path) const {
    return homePlace_ && !path.empty() && liesWithin(*homePlace_, withFolderResolved(path));
}
