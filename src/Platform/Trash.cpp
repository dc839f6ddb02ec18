#include "Platform/Trash.h"

#include "Foundation/FileDescriptor.h"
#include "Foundation/ProcessEnd.h"
#include "Platform/RealPath.h"
#include "Platform/SystemRoots.h"
#include "Platform/TrashFolders.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace Trash {
namespace {

[[noreturn]] void fail(const fs::path& item, int error) { throw TrashError(TrashError::Reason::moveFailed, item, error); }
[[noreturn]] void refuseTrashFolder(const fs::path& item) { throw TrashError(TrashError::Reason::trashFolder, item, EINVAL); }

// Which mount a file lies on: the mount id where the kernel gives one, else its device. Bind
// mounts share a device but not a mount, and renames never cross mounts.
std::optional<std::uint64_t> mountOf(int directory, const char* path, int flags = AT_SYMLINK_NOFOLLOW) {
    struct statx status;
    if (::statx(directory, path, flags | AT_NO_AUTOMOUNT, STATX_TYPE | STATX_MNT_ID, &status) != 0) return std::nullopt;
    if (status.stx_mask & STATX_MNT_ID) return status.stx_mnt_id;
    return (std::uint64_t(status.stx_dev_major) << 32) | status.stx_dev_minor;
}

std::optional<std::uint64_t> mountOf(const fs::path& path) { return mountOf(AT_FDCWD, path.c_str()); }

// Opens a folder whose path is already resolved, refusing any symbolic link on the way, so that
// the descriptor is the folder the text names.
FileDescriptor openResolvedFolder(const fs::path& path) {
    struct open_how how {};
    how.flags = O_PATH | O_DIRECTORY | O_CLOEXEC;
    how.resolve = RESOLVE_NO_SYMLINKS;
    int fd = static_cast<int>(::syscall(SYS_openat2, AT_FDCWD, path.c_str(), &how, sizeof how));
    if (fd < 0 && errno == ENOSYS) fd = ::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    return FileDescriptor(fd);
}

// The highest folder above `folder` (a resolved path) still on `mount`: its top folder.
fs::path mountTop(fs::path folder, std::uint64_t mount) {
    while (folder.has_relative_path() && mountOf(folder.parent_path()) == mount) folder = folder.parent_path();
    return folder;
}

// A mount's shared .Trash counts only when no one but root and the user can rename what lies in it:
// a real folder with the sticky bit, owned by one of them. A link planted there is never followed.
bool isSharedTrash(const fs::path& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || !(info.st_mode & S_ISVTX)) return false;
    return info.st_uid == 0 || info.st_uid == ::getuid();
}

// Others who may write one of our folders in a shared .Trash could put their own files and info
// folders in place of ours.
bool isClosedToOthers(const fs::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && !(info.st_mode & (S_IWGRP | S_IWOTH));
}

// Our own trash folders must be ours: on a shared mount another user could make .Trash-$uid first
// and read everything we put there.
bool isOwnFolder(const fs::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid();
}

// The home trash, resolved. A link there is followed only when it is the user's own and leads to
// a folder of the user's own; the home trash's parents may be links of any kind.
std::optional<fs::path> homeTrash() {
    const fs::path trash = SystemRoots::current().dataHome / "Trash";
    struct stat info {};
    if (::lstat(trash.c_str(), &info) == 0) {
        if (!S_ISLNK(info.st_mode)) return realPath(trash);
        if (info.st_uid != ::getuid()) return std::nullopt;
        auto target = realPath(trash);
        if (!target || !isOwnFolder(*target)) return std::nullopt;
        return target;
    }
    // Not made yet: resolve the nearest folder that exists.
    fs::path existing = trash.parent_path();
    fs::path rest = trash.filename();
    while (::lstat(existing.c_str(), &info) != 0 && existing.has_relative_path()) {
        rest = existing.filename() / rest;
        existing = existing.parent_path();
    }
    auto resolved = realPath(existing);
    if (!resolved) return std::nullopt;
    return *resolved / rest;
}

// The mount a folder that may not exist yet will be on: that of its nearest existing folder.
std::optional<std::uint64_t> mountOfFutureFolder(fs::path path) {
    while (true) {
        if (auto mount = mountOf(path)) return mount;
        if (!path.has_relative_path()) return std::nullopt;
        path = path.parent_path();
    }
}

bool isWithin(const fs::path& path, const fs::path& folder) {
    return path == folder || path.native().starts_with(folder.native() + "/");
}

// Folders made for one move, removed again when the move does not happen.
class MadeFolders {
public:
    ~MadeFolders() {
        if (!kept_)
            for (auto it = made_.rbegin(); it != made_.rend(); ++it) ::rmdir(it->c_str());
    }
    void keep() { kept_ = true; }

    // Makes the folder and its missing parents; true when it ends as a folder of our own.
    bool make(const fs::path& path) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 && path.has_relative_path() && path.parent_path() != path) {
            if (::lstat(path.parent_path().c_str(), &info) != 0 && !make(path.parent_path())) return false;
            if (::mkdir(path.c_str(), 0700) == 0) made_.push_back(path);
            else if (errno != EEXIST) return false;
        }
        return isOwnFolder(path);
    }

private:
    std::vector<fs::path> made_;
    bool kept_ = false;
};

std::string percentEncoded(const std::string& bytes) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back('%');
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 15]);
        }
    }
    return out;
}

std::string deletionDate() {
    std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

// At most `limit` bytes of `text`, never splitting a UTF-8 sequence.
std::string shortened(const std::string& text, size_t limit) {
    if (text.size() <= limit) return text;
    size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

// "name", "name 2", "name 3"…, the number before the extension, short enough for "<name>.trashinfo".
// A long name is shortened by whole characters; an extension too long to keep is cut with the rest.
std::string candidateName(const std::string& name, int attempt) {
    std::string stem = name, extension;
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) {
        stem = name.substr(0, dot);
        extension = name.substr(dot);
    }
    const std::string suffix = attempt > 1 ? " " + std::to_string(attempt) : std::string();
    const size_t limit = 255 - std::string(".trashinfo").size();
    if (stem.size() + suffix.size() + extension.size() > limit) {
        if (extension.size() > limit / 2) {
            stem = name;
            extension.clear();
        }
        stem = shortened(stem, limit - suffix.size() - extension.size());
    }
    return stem + suffix + extension;
}

struct TrashDir {
    fs::path dir;
    fs::path topdir;      // empty for the home trash, whose Path= is absolute
    bool shared = false;  // in a shared .Trash, which others may write
};

// Claims an info file exclusively, then renames without replacing. EXDEV means this trash is not
// on the item's mount after all: the caller tries the next one.
std::optional<fs::path> moveInto(const TrashDir& trash, int parent, const std::string& name, const fs::path& item, int& error) {
    const fs::path original = trash.topdir.empty() ? item : item.lexically_relative(trash.topdir);
    const std::string info = "[Trash Info]\nPath=" + percentEncoded(original.native()) + "\nDeletionDate=" + deletionDate() + "\n";
    for (int attempt = 1; attempt < 10000; ++attempt) {
        const std::string candidate = candidateName(name, attempt);
        const fs::path infoPath = trash.dir / "info" / (candidate + ".trashinfo");
        const fs::path target = trash.dir / "files" / candidate;
        // The process never ends between claiming the info file and the item's rename or the info
        // file's removal: an info file is never left empty, or without its item.
        const ProcessEnd::Step step;
        FileDescriptor infoFile(::open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
        if (!infoFile.isOpen()) {
            if (errno == EEXIST) continue;
            error = errno;
            return std::nullopt;
        }
        const ssize_t written = ::write(infoFile.get(), info.data(), info.size());
        // A short write without an error number is a full file system.
        error = written < 0 ? errno : ENOSPC;
        const bool complete = written == static_cast<ssize_t>(info.size()) && ::close(infoFile.release()) == 0;
        if (!complete) {
            if (written == static_cast<ssize_t>(info.size())) error = errno;
            ::unlink(infoPath.c_str());
            return std::nullopt;
        }
        int moved = ::renameat2(parent, name.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE);
        if (moved != 0 && errno == EINVAL) {
            // NFS and many FUSE file systems lack the no-replace flag; the claimed info file reserves
            // the name, so a plain rename after a last look is safe there.
            struct stat existing {};
            if (::lstat(target.c_str(), &existing) == 0) errno = EEXIST;
            else moved = ::renameat(parent, name.c_str(), AT_FDCWD, target.c_str());
        }
        if (moved == 0) return target;
        error = errno;
        ::unlink(infoPath.c_str());
        if (error != EEXIST) return std::nullopt;
    }
    error = EEXIST;
    return std::nullopt;
}

}  // namespace

std::optional<fs::path> moveToTrash(const fs::path& requested, const Conditions& conditions) {
    fs::path item = requested.is_absolute() ? requested : fs::current_path() / requested;
    // Text with "." or ".." could name another file than the one the caller looked at.
    for (const fs::path& component : item.relative_path())
        if (component == "." || component == "..") fail(requested, EINVAL);
    if (!item.has_filename()) item = item.parent_path();
    if (!item.has_relative_path()) fail(requested, EINVAL);

    const std::string name = item.filename().native();
    const auto realParent = realPath(item.parent_path());
    if (!realParent) {
        if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
        fail(requested, errno);
    }
    const FileDescriptor parent = openResolvedFolder(*realParent);
    if (!parent.isOpen()) fail(requested, errno);

    struct stat info {};
    if (::fstatat(parent.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT) return std::nullopt;
        fail(requested, errno);
    }
    if (conditions.expected) {
        // Read again with its birth time, which tells a folder made again at the same inode number.
        const auto now = FileIdentity::at(parent.get(), name.c_str());
        if (!now || *now != *conditions.expected) throw TrashError(TrashError::Reason::changed, requested);
    }
    // Like the file manager: a link whose target is gone counts as already removed.
    struct stat target {};
    if (!conditions.moveDanglingLinks && S_ISLNK(info.st_mode) && ::fstatat(parent.get(), name.c_str(), &target, 0) != 0) return std::nullopt;

    const fs::path real = *realParent / name;
    const auto mount = mountOf(parent.get(), name.c_str());
    if (!mount) fail(requested, errno);
    // A mount point cannot be renamed away from its mount.
    if (mountOf(parent.get(), "", AT_EMPTY_PATH) != mount) fail(requested, EBUSY);
    const fs::path top = mountTop(*realParent, *mount);

    // The home trash's own place, which may be a link to it, is never moved either.
    const fs::path homePlace = SystemRoots::current().dataHome / "Trash";
    if (const auto placeParent = realPath(homePlace.parent_path()); placeParent && isWithin(*placeParent / "Trash", real)) refuseTrashFolder(requested);
    // Nor anything inside a trash, also one reached by another path or mount.
    if (TrashFolders::current().isWithinTrash(real)) refuseTrashFolder(requested);

    std::vector<TrashDir> trashes;
    const auto home = homeTrash();
    if (home) {
        // Never move a trash, anything inside one, or a folder holding one into a trash.
        if (isWithin(real, *home) || isWithin(*home, real)) refuseTrashFolder(requested);
        if (mountOfFutureFolder(*home) == mount) trashes.push_back({*home, {}});
    }
    const std::string uid = std::to_string(::getuid());
    if (isSharedTrash(top / ".Trash")) trashes.push_back({top / ".Trash" / uid, top, true});
    trashes.push_back({top / (".Trash-" + uid), top});

    for (const TrashDir& trash : trashes) {
        MadeFolders made;
        const auto ready = [&](const fs::path& folder) { return made.make(folder) && (!trash.shared || isClosedToOthers(folder)); };
        if (!ready(trash.dir) || !ready(trash.dir / "files") || !ready(trash.dir / "info")) continue;
        // Something mounted over the trash folder would take the info file but never the item.
        if (mountOf(trash.dir / "files") != mount) continue;
        int error = 0;
        if (auto moved = moveInto(trash, parent.get(), name, real, error)) {
            made.keep();
            return moved;
        }
        if (error != EXDEV) fail(requested, error);
    }
    throw TrashError(TrashError::Reason::noTrash, requested);
}

}  // namespace Trash
