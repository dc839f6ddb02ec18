#include "Platform/BlockSharingFolders.h"

#include "Foundation/LiesWithin.h"
#include "Platform/RealPath.h"

#include <sys/vfs.h>

#include <fstream>
#include <sstream>

namespace {

constexpr std::uint64_t xfsMagic = 0x58465342;
constexpr std::uint64_t btrfsMagic = 0x9123683E;
constexpr std::uint64_t bcachefsMagic = 0xca451a4e;
constexpr std::uint64_t ocfs2Magic = 0x7461636f;

// The mount table escapes a space, a tab, a newline and a backslash as three octal digits.
std::string unescaped(const std::string& field) {
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const bool octal = field[i] == '\\' && field.size() - i > 3 && field.find_first_not_of("01234567", i + 1) >= i + 4;
        if (octal) {
            text.push_back(char(std::stoi(field.substr(i + 1, 3), nullptr, 8)));
            i += 3;
        } else {
            text.push_back(field[i]);
        }
    }
    return text;
}

// The mount points of this process's mount namespace.
std::vector<std::filesystem::path> mountPoints() {
    std::vector<std::filesystem::path> points;
    std::ifstream table("/proc/self/mountinfo");
    for (std::string line; std::getline(table, line);) {
        // "<id> <parent> <major:minor> <root> <mount point> ..."
        std::istringstream fields(line);
        std::string id, parent, device, root, point;
        if (fields >> id >> parent >> device >> root >> point) points.emplace_back(unescaped(point));
    }
    return points;
}

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
    const std::vector<std::filesystem::path> points = mountPoints();
    for (const std::string& root : roots) {
        rootShares_.push_back(sharesBlocks(root));
        const std::filesystem::path real = realPath(root.empty() ? "/" : root).value_or(root);
        bool below = false;
        for (const std::filesystem::path& point : points) below = below || (point != real && liesWithin(point, real));
        mountsBelow_.push_back(below);
        anyMayShare_ = anyMayShare_ || rootShares_.back() || below;
    }
}

bool BlockSharingFolders::mayShare(std::int64_t root, const std::string& folder) const {
    if (root < 0 || std::size_t(root) >= rootShares_.size()) return false;
    if (!mountsBelow_[std::size_t(root)]) return rootShares_[std::size_t(root)];
    return sharesBlocks(folder);
}
