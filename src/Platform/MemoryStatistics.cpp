#include "Platform/MemoryStatistics.h"

#include "Platform/KernelText.h"

#include <charconv>
#include <limits>
#include <utility>

MemoryStatistics::MemoryStatistics(const SystemRoots& roots)
    : meminfo_(roots.proc / "meminfo"), pressure_(roots.proc / "pressure/memory") {}

std::optional<MemoryReading> MemoryStatistics::read() {
    auto content = meminfo_.read();
    if (!content) return std::nullopt;
    MemoryReading reading;
    bool hasTotal = false;
    const std::pair<std::string_view, std::uint64_t*> fields[] = {
        {"MemTotal:", &reading.total},       {"MemFree:", &reading.free},     {"Buffers:", &reading.buffers},
        {"Cached:", &reading.cached},        {"Shmem:", &reading.shared},     {"SReclaimable:", &reading.reclaimableSlab},
        {"AnonPages:", &reading.anonymous},  {"Zswap:", &reading.zswap},      {"SwapTotal:", &reading.swapTotal},
        {"SwapFree:", &reading.swapFree},
    };
    std::string_view rest = *content;
    while (!rest.empty()) {
        std::string_view line = KernelText::nextLine(rest);
        std::string_view name = KernelText::nextField(line);
        for (const auto& [label, field] : fields) {
            if (name != label) continue;
            auto kibibytes = KernelText::unsignedNumber(KernelText::nextField(line));
            if (!kibibytes || *kibibytes > std::numeric_limits<std::uint64_t>::max() / 1024) break;
            *field = *kibibytes * 1024;
            if (field == &reading.total) hasTotal = true;
            break;
        }
    }
    if (!hasTotal) return std::nullopt;
    return reading;
}

std::optional<MemoryStall> MemoryStatistics::stall() {
    auto content = pressure_.read();
    if (!content) return std::nullopt;
    // "some avg10=0.00 avg60=0.00 avg300=0.00 total=0" and the same for "full".
    MemoryStall stall;
    bool found = false;
    std::string_view rest = *content;
    while (!rest.empty()) {
        std::string_view line = KernelText::nextLine(rest);
        std::string_view kind = KernelText::nextField(line);
        std::string_view average = KernelText::nextField(line);
        if (average.substr(0, 6) != "avg10=") continue;
        average.remove_prefix(6);
        double value = 0;
        auto [end, error] = std::from_chars(average.data(), average.data() + average.size(), value);
        if (error != std::errc() || end != average.data() + average.size()) continue;
        if (kind == "some") stall.some = value;
        else if (kind == "full") stall.full = value;
        else continue;
        found = true;
    }
    if (!found) return std::nullopt;
    return stall;
}
