#include "Platform/BlockSharingFolders.h"

#include "Foundation/LiesWithin.h"
#include "Platform/MountTable.h"
#include "Platform/RealPath.h"

#include <sys/vfs.h>

namespace {

constexpr std::uint64_t xfsMagic = 0x58465342;
constexpr std::uint64_t btrfsMagic = 0x9123683E;
constexpr std::uint64_t bcachefsMagic = 0xca451a4e;
constexpr std::uint64_t ocfs2Magic = 0x7461636f;

}  // namespace

bool BlockSharingFolders::sharesBlocks(const std::string& path) {
    struct statfs info {};
    if (::statfs(path.empty() ? "/" : path.c_str(), &info) != 0) return false;
    switch (static_cast<std::uint64_t>(static_cast<std::uint32_t>(info.f_type))) {
    case xfsMagic:
    case btrfsMagic:
    case bcachefsMagic:
    case ocfs2Magic: return true;
    default: return false;
    }
}

BlockSharingFolders::BlockSharingFolders(const std::vector<std::string>& roots) {
    // The kernel's own table: these are the machine's file systems whatever roots the tools see.
    const std::vector<MountTable::Mount> mounts = MountTable::mounted("/proc");
    for (const std::string& root : roots) {
        rootShares_.push_back(sharesBlocks(root));
        const std::filesystem::path real = realPath(root.empty() ? "/" : root).value_or(root);
        bool below = false;
        for (const MountTable::Mount& mount : mounts) below = below || (mount.point != real && liesWithin(mount.point, real));
        mountsBelow_.push_back(below);
        anyMayShare_ = anyMayShare_ || rootShares_.back() || below;
    }
}

bool BlockSharingFolders::mayShare(std::int64_t root, const std::string& folder) const {
    if (root < 0 || std::size_t(root) >= rootShares_.size()) return false;
    if (!mountsBelow_[std::size_t(root)]) return rootShares_[std::size_t(root)];
    return sharesBlocks(folder);
}
