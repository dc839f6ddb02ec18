#include "Platform/WindowsAttributes.h"

#include "Foundation/FileDescriptor.h"
#include "Foundation/LiesWithin.h"
#include "Platform/MountTable.h"
#include "Platform/SystemRoots.h"

#include <fcntl.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <sys/xattr.h>

#include <cstdint>
#include <cstring>
#include <optional>

namespace {

constexpr std::uint32_t hiddenAttribute = 0x2;
constexpr std::uint32_t systemAttribute = 0x4;

std::optional<std::uint32_t> attributeOf(const std::string& path, const char* name, bool bigEndian) {
    unsigned char bytes[4] = {};
    if (::lgetxattr(path.c_str(), name, bytes, sizeof bytes) != ssize_t(sizeof bytes)) return std::nullopt;
    if (bigEndian) return std::uint32_t(bytes[0]) << 24 | std::uint32_t(bytes[1]) << 16 | std::uint32_t(bytes[2]) << 8 | bytes[3];
    std::uint32_t value = 0;
    std::memcpy(&value, bytes, sizeof value);  // the driver's own order, this machine's
    return value;
}

// FAT and exFAT keep them in the directory entry, read through the driver's own request.
std::optional<std::uint32_t> fatAttributesOf(const std::string& path) {
    const FileDescriptor opened(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    std::uint32_t value = 0;
    if (!opened.isOpen() || ::ioctl(opened.get(), FAT_IOCTL_GET_ATTRIBUTES, &value) != 0) return std::nullopt;
    return value;
}

}  // namespace

// ntfs-3g shows as "fuseblk" (as "fuse" on an image file), as exFAT's FUSE driver does, whose files
// simply have no such mark; nor have other FUSE file systems' ("fuse.sshfs").
WindowsAttributes::Keeps WindowsAttributes::keepsOfType(std::string_view type) {
    if (type == "ntfs" || type == "ntfs3" || type == "fuseblk" || type == "fuse") return Keeps::ntfsAttributes;
    if (type == "cifs" || type == "smb3") return Keeps::smbAttributes;
    if (type == "vfat" || type == "msdos" || type == "exfat") return Keeps::fatAttributes;
    return Keeps::nothing;
}

WindowsAttributes WindowsAttributes::current() {
    WindowsAttributes attributes;
    const SystemRoots roots = SystemRoots::current();
    for (const MountTable::Mount& mount : MountTable::mounted(roots.proc)) {
        const Keeps keeps = keepsOfType(mount.type);
        const std::string point = (roots.root == "/" ? mount.point : roots.underRoot(mount.point)).lexically_normal().native();
        attributes.mounts_.push_back({point.size() > 1 && point.back() == '/' ? point.substr(0, point.size() - 1) : point, keeps});
        attributes.any_ = attributes.any_ || keeps != Keeps::nothing;
    }
    return attributes;
}

WindowsAttributes::Keeps WindowsAttributes::keepsAt(const std::string& path) const {
    // The mount that shows the path is the last one listed at the longest point above it. Its top is
    // never taken for hidden: NTFS marks its root folder hidden and system.
    const Mount* holder = nullptr;
    for (const Mount& mount : mounts_)
        if (liesWithinText(path, mount.point) && (!holder || mount.point.size() >= holder->point.size())) holder = &mount;
    return holder && holder->point != path ? holder->keeps : Keeps::nothing;
}

bool WindowsAttributes::hiddenOrSystem(const std::string& path) const {
    std::optional<std::uint32_t> attributes;
    switch (keepsAt(path)) {
    case Keeps::nothing: return false;
    case Keeps::ntfsAttributes: attributes = attributeOf(path, "system.ntfs_attrib_be", true); break;
    case Keeps::smbAttributes: attributes = attributeOf(path, "user.cifs.dosattrib", false); break;
    case Keeps::fatAttributes: attributes = fatAttributesOf(path); break;
    }
    return attributes && (*attributes & (hiddenAttribute | systemAttribute)) != 0;
}
