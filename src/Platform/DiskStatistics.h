#pragma once

#include "Platform/KernelFile.h"
#include "Platform/SystemRoots.h"

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

// Bytes read from and written to the machine's disks since boot.
struct DiskTotals {
    std::uint64_t read = 0;
    std::uint64_t written = 0;
};

// Sums /proc/diskstats over whole physical disks only: a disk is whole and physical when
// /sys/block/<name>/device exists, which leaves out partitions (not in /sys/block), and loop, zram,
// device-mapper and md devices (no device of their own), whose traffic a physical disk counts again.
class DiskStatistics {
public:
    explicit DiskStatistics(const SystemRoots& roots);

    // Absent when /proc/diskstats cannot be read.
    std::optional<DiskTotals> read();

private:
    bool isWholeDisk(std::string_view name);

    KernelFile diskstats_;
    std::filesystem::path sysBlock_;
    std::unordered_map<std::string, bool> wholeDisk_;  // by device name; devices keep their kind
};
