#include "Platform/Trash.h"

#include "Models/AppLocalization.h"
#include "Foundation/PathText.h"
#include "Platform/SystemRoots.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace Trash {
namespace {

struct TrashDir {
    fs::path dir;
    fs::path topdir;  // empty for the home trash, whose Path= is absolute
};

[[noreturn]] void fail(const fs::path& item, int error) {
    throw TrashError(AppLocalization::format("trash.failed", {PathText::display(item.filename()), QString::fromLocal8Bit(std::strerror(error))}).toStdString());
}

std::optional<dev_t> deviceOf(const fs::path& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return std::nullopt;
    return info.st_dev;
}

// The device the home trash lives on: that of its nearest existing folder.
std::optional<dev_t> homeTrashDevice(fs::path path) {
    while (true) {
        if (auto device = deviceOf(path)) return device;
        if (!path.has_relative_path()) return std::nullopt;
        path = path.parent_path();
    }
}

// The highest folder above the item that is still on the item's device: its mount point.
fs::path mountTop(const fs::path& item, dev_t device) {
    fs::path top = item.parent_path();
    while (top.has_relative_path()) {
        auto parent = deviceOf(top.parent_path());
        if (!parent || *parent != device) break;
        top = top.parent_path();
    }
    return top;
}

bool isRealFolder(const fs::path& path, bool requireSticky = false) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return false;
    return !requireSticky || (info.st_mode & S_ISVTX);
}

// Our own trash folders must be ours: on a shared mount another user could make .Trash-$uid first
// and read everything we put there.
bool isOwnFolder(const fs::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid();
}

bool makeFolder(const fs::path& path) {
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
    return isOwnFolder(path);
}

bool prepare(const fs::path& dir) {
    std::error_code ignored;
    if (!isOwnFolder(dir) && !(fs::create_directories(dir.parent_path(), ignored), makeFolder(dir))) return false;
    return makeFolder(dir / "files") && makeFolder(dir / "info");
}

std::vector<TrashDir> trashDirsFor(const fs::path& item, dev_t device) {
    std::vector<TrashDir> dirs;
    const fs::path home = SystemRoots::current().dataHome / "Trash";
    if (homeTrashDevice(home) == device) dirs.push_back({home, {}});
    const fs::path top = mountTop(item, device);
    const std::string uid = std::to_string(::getuid());
    // A shared .Trash counts only when it is a real, sticky folder; never follow a link planted there.
    if (isRealFolder(top / ".Trash", true)) dirs.push_back({top / ".Trash" / uid, top});
    dirs.push_back({top / (".Trash-" + uid), top});
    return dirs;
}

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

// "name", "name 2", "name 3"…, the number before the extension, kept short enough for "<name>.trashinfo".
std::string candidateName(const std::string& name, int attempt) {
    std::string stem = name, extension;
    size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) {
        stem = name.substr(0, dot);
        extension = name.substr(dot);
    }
    std::string suffix;
    if (attempt > 1) suffix.append(1, ' ').append(std::to_string(attempt));
    const size_t limit = 255 - std::string(".trashinfo").size();
    if (stem.size() + suffix.size() + extension.size() > limit) {
        if (extension.size() > limit / 2) extension.clear();
        stem.resize(limit - suffix.size() - extension.size());
    }
    stem.append(suffix).append(extension);
    return stem;
}

// Claims an info file exclusively, then renames without replacing. EXDEV means this trash is not
// on the item's mount after all (a bind mount): the caller tries the next one.
std::optional<fs::path> moveInto(const TrashDir& trash, const fs::path& item, int& error) {
    const std::string name = item.filename().native();
    const fs::path original = trash.topdir.empty() ? item : item.lexically_relative(trash.topdir);
    const std::string info = "[Trash Info]\nPath=" + percentEncoded(original.native()) + "\nDeletionDate=" + deletionDate() + "\n";
    for (int attempt = 1; attempt < 10000; ++attempt) {
        const std::string candidate = candidateName(name, attempt);
        const fs::path infoPath = trash.dir / "info" / (candidate + ".trashinfo");
        const fs::path target = trash.dir / "files" / candidate;
        int fd = ::open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            error = errno;
            return std::nullopt;
        }
        bool written = ::write(fd, info.data(), info.size()) == static_cast<ssize_t>(info.size());
        ::close(fd);
        if (!written) {
            error = EIO;
            ::unlink(infoPath.c_str());
            return std::nullopt;
        }
        int moved = ::renameat2(AT_FDCWD, item.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE);
        if (moved != 0 && errno == EINVAL) {
            // NFS and many FUSE file systems lack the no-replace flag; the claimed info file reserves
            // the name, so a plain rename after a last look is safe there.
            struct stat existing {};
            if (::lstat(target.c_str(), &existing) == 0) errno = EEXIST;
            else moved = ::rename(item.c_str(), target.c_str());
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

fs::path moveToTrash(const fs::path& requested) {
    fs::path item = fs::absolute(requested).lexically_normal();
    if (!item.has_filename()) item = item.parent_path();
    auto device = deviceOf(item);
    if (!item.has_relative_path() || !device) fail(item, device ? EINVAL : errno);

    const std::vector<TrashDir> trashes = trashDirsFor(item, *device);
    // Never move a trash, or a folder holding one, into a trash.
    for (const TrashDir& trash : trashes)
        if (item == trash.dir || trash.dir.native().rfind(item.native() + "/", 0) == 0) fail(item, EINVAL);

    int error = ENOENT;
    for (const TrashDir& trash : trashes) {
        if (!prepare(trash.dir)) {
            error = errno ? errno : EACCES;
            continue;
        }
        if (auto moved = moveInto(trash, item, error)) return *moved;
        if (error != EXDEV) fail(item, error);
    }
    throw TrashError(AppLocalization::format("trash.unavailable", {PathText::display(item.filename())}).toStdString());
}

}  // namespace Trash
