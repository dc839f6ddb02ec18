#include "Services/DiskCapacityService.h"

#include <sys/statvfs.h>

#include <limits>

namespace {

std::int64_t blockBytes(std::uint64_t blocks, std::uint64_t blockSize) {
    constexpr auto largest = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (blockSize != 0 && blocks > largest / blockSize) return std::numeric_limits<std::int64_t>::max();
    return static_cast<std::int64_t>(blocks * blockSize);
}

}  // namespace

DiskCapacityService::Capacity DiskCapacityService::capacity(const std::filesystem::path& location) const {
    struct statvfs volume;
    if (::statvfs(location.c_str(), &volume) != 0) return {};
    return {blockBytes(volume.f_blocks, volume.f_frsize), blockBytes(volume.f_bavail, volume.f_frsize), blockBytes(volume.f_bfree, volume.f_frsize)};
}
