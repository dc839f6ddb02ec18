#include "Platform/MountPoints.h"

#include "Foundation/LiesWithin.h"
#include "Platform/MountTable.h"

#include <algorithm>
#include <iterator>

namespace fs = std::filesystem;

MountPoints MountPoints::of(const SystemRoots& roots) {
    MountPoints mounts;
    for (const MountTable::Mount& mount : MountTable::mounted(roots.proc))
        if (mount.point.is_absolute()) mounts.points_.push_back((roots.root / mount.point.relative_path()).lexically_normal());
    return mounts;
}

bool MountPoints::atOrBelow(const fs::path& place) const {
    return !within(place).empty();
}

std::vector<fs::path> MountPoints::within(const fs::path& place) const {
    const fs::path normal = place.lexically_normal();
    std::vector<fs::path> found;
    std::copy_if(points_.begin(), points_.end(), std::back_inserter(found), [&](const fs::path& point) { return liesWithin(point, normal); });
    return found;
}
