#include "Platform/OpenFileLimit.h"

#include <dirent.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdint>

namespace OpenFileLimit {

void raiseToHard() {
    rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= limit.rlim_max) return;
    limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &limit);
}

std::size_t available() {
    rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return 0;
    const std::uint64_t soft = limit.rlim_cur == RLIM_INFINITY ? UINT32_MAX : std::uint64_t(limit.rlim_cur);
    // Each entry of /proc/self/fd is an open descriptor; the listing's own is one of them and is
    // closed again at once. Without /proc, guess that a few dozen are in use.
    std::uint64_t open = 64;
    if (DIR* listing = ::opendir("/proc/self/fd")) {
        open = 0;
        while (const dirent* entry = ::readdir(listing))
            if (entry->d_name[0] != '.') ++open;
        ::closedir(listing);
        open = open > 0 ? open - 1 : 0;
    }
    return std::size_t(soft > open ? soft - open : 0);
}

}  // namespace OpenFileLimit
