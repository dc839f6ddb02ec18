#include "Platform/DiskStatistics.h"

#include "Platform/KernelText.h"

#include <algorithm>

DiskStatistics::DiskStatistics(const SystemRoots& roots)
    : diskstats_(roots.proc / "diskstats"), sysBlock_(roots.sys / "block") {}

bool DiskStatistics::isWholeDisk(std::string_view name) {
    auto known = wholeDisk_.find(std::string(name));
    if (known != wholeDisk_.end()) return known->second;
    // sysfs writes a '/' in a device name ("cciss/c0d0") as '!'.
    std::string folder(name);
    std::replace(folder.begin(), folder.end(), '/', '!');
    std::error_code error;
    bool whole = std::filesystem::exists(sysBlock_ / folder / "device", error);
    wholeDisk_.emplace(std::string(name), whole);
    return whole;
}

std::optional<DiskTotals> DiskStatistics::read() {
    auto content = diskstats_.read();
    if (!content) return std::nullopt;
    // major minor name reads merged sectors-read ms writes merged sectors-written ...; sectors are 512 bytes.
    constexpr std::uint64_t sectorBytes = 512;
    DiskTotals totals;
    std::string_view rest = *content;
    while (!rest.empty()) {
        std::string_view line = KernelText::nextLine(rest);
        KernelText::nextField(line);
        KernelText::nextField(line);
        std::string_view name = KernelText::nextField(line);
        if (name.empty() || !isWholeDisk(name)) continue;
        KernelText::nextField(line);
        KernelText::nextField(line);
        std::uint64_t sectorsRead = KernelText::nextNumber(line);
        for (int skip = 0; skip < 3; ++skip) KernelText::nextField(line);
        std::uint64_t sectorsWritten = KernelText::nextNumber(line);
        totals.read += sectorsRead * sectorBytes;
        totals.written += sectorsWritten * sectorBytes;
    }
    return totals;
}
