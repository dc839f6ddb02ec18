#pragma once

#include "Platform/SystemRoots.h"

#include <filesystem>
#include <vector>

// Where file systems are mounted, as this process sees them: a folder that is a mount point or holds
// one would carry another file system (a vault, a drive, a tmpfs, a bind mount) along when renamed.
class MountPoints {
public:
    // From <proc>/self/mountinfo, each point a machine path under the roots; none when it cannot be read.
    static MountPoints of(const SystemRoots& roots);

    // Whether `place`, a path whose folders' links are resolved, is a mount point or holds one.
    bool atOrBelow(const std::filesystem::path& place) const;
    // The mount points that are `place` or lie inside it.
    std::vector<std::filesystem::path> within(const std::filesystem::path& place) const;

private:
    std::vector<std::filesystem::path> points_;
};
