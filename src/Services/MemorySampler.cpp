#include "Services/MemorySampler.h"

#include <cstdint>

namespace {
std::uint64_t lessOrZero(std::uint64_t value, std::uint64_t subtracted) { return value > subtracted ? value - subtracted : 0; }
}  // namespace

MemorySampler::MemorySampler(const SystemRoots& roots) : statistics_(roots) {}

std::optional<MemorySample> MemorySampler::memoryUsage() {
    auto reading = statistics_.read();
    if (!reading) return std::nullopt;
    return split(*reading, statistics_.stall());
}

// How Linux's figures stand in for the split the monitor shows (the parts add up to MemTotal):
//   app        = AnonPages + Shmem: memory that processes own and that can only be swapped, not
//                dropped (shared memory and tmpfs included, which meminfo counts inside Cached);
//   cached     = Buffers + Cached - Shmem + SReclaimable: file contents and kernel caches the kernel
//                drops when memory is needed;
//   compressed = Zswap: compressed pages kept in memory; 0 without zswap (zram is a disk to the
//                kernel, and what it holds shows as swap in use);
//   free       = MemFree;
//   wired      = MemTotal less all of the above: kernel memory that can be neither dropped nor
//                swapped (unreclaimable slab, stacks, page tables, drivers), never below 0;
//   swapUsed   = SwapTotal - SwapFree;
//   pressure   = the pressure stall figures over the last ten seconds: "full" at 10 % or more (every
//                runnable task waited for memory a tenth of the time) is critical, "some" at 10 % or
//                more is a warning, anything less or a kernel without them is normal.
// Memory in use, as the monitor sums it (app + wired + compressed), is then everything but free
// memory and caches.
MemorySample MemorySampler::split(const MemoryReading& reading, const std::optional<MemoryStall>& stall) {
    MemorySample sample;
    MemoryDetail& detail = sample.detail;
    sample.total = reading.total;
    detail.free = reading.free;
    detail.app = reading.anonymous + reading.shared;
    detail.cached = reading.buffers + lessOrZero(reading.cached, reading.shared) + reading.reclaimableSlab;
    detail.compressed = reading.zswap;
    std::uint64_t accounted = detail.free + detail.app + detail.cached + detail.compressed;
    detail.wired = lessOrZero(reading.total, accounted);
    detail.swapUsed = lessOrZero(reading.swapTotal, reading.swapFree);
    if (stall && stall->full >= 10) detail.pressure = MemoryPressure::critical;
    else if (stall && stall->some >= 10) detail.pressure = MemoryPressure::warning;
    return sample;
}
