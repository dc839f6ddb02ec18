#include "Platform/MountPoints.h"

#include "Foundation/LiesWithin.h"
#include "Platform/MountTable.h"

#include <algorithm>

namespace fs = std::filesystem;

MountPoints MountPoints::of(const SystemRoots& roots) {
    MountPoints mounts;
    for (const MountTable::Mount& mount : MountTable::mounted(roots.proc))
        if (mount.point.is_absolute()) mounts.points_.push_back((roots.root / mount.point.relative_path()).lexically_normal());
    return mounts;
}

bool MountPoints::atOrBelow(const fs::path& place) const {
    const fs::path normal = place.lexically_normal();
    return std::any_of(points_.begin(), points_.end(), [&](const fs::path& point) { return liesWithin(point, normal); });
}
