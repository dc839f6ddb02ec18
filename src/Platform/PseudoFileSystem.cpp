#include "Platform/PseudoFileSystem.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <unordered_map>

namespace {

// devtmpfs calls itself tmpfs to statfs: only the mount table tells the two apart. Each thread
// keeps what it learnt of the mounts, and reads the table again on meeting a mount it does not know.
bool isDevtmpfsMount(int folder) {
    struct statx status;
    if (::statx(folder, "", AT_EMPTY_PATH, STATX_MNT_ID, &status) != 0 || !(status.stx_mask & STATX_MNT_ID)) return false;
    thread_local std::unordered_map<std::uint64_t, bool> known;
    if (auto found = known.find(status.stx_mnt_id); found != known.end()) return found->second;
    std::ifstream table("/proc/self/mountinfo");
    for (std::string line; std::getline(table, line);) {
        // "<id> <parent> <major:minor> <root> <mount point> <options> [optional…] - <type> <source> <options>"
        std::istringstream fields(line);
        std::uint64_t id = 0;
        fields >> id;
        const size_t separator = line.find(" - ");
        if (!fields || separator == std::string::npos) continue;
        std::istringstream tail(line.substr(separator + 3));
        std::string type;
        tail >> type;
        known[id] = type == "devtmpfs";
    }
    return known[status.stx_mnt_id];
}

}  // namespace

bool isPseudoFileSystem(int folder) {
    struct statfs info {};
    if (::fstatfs(folder, &info) != 0) return false;
    switch (static_cast<std::uint64_t>(info.f_type)) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
    case PSTOREFS_MAGIC:
    case BPF_FS_MAGIC:
    case 0x62656570:  // configfs
    case 0x65735543:  // fusectl
        return true;
    case TMPFS_MAGIC:
        return isDevtmpfsMount(folder);
    default:
        return false;
    }
}
