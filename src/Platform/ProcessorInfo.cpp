#include "Platform/ProcessorInfo.h"

#include "Platform/KernelText.h"

#include <cstdint>
#include <fstream>
#include <optional>
#include <unistd.h>

namespace {

// Counts the processors in a kernel cpu list such as "0-3,8,10-11"; absent when unreadable or malformed.
std::optional<int> countCpuList(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::string text;
    if (!std::getline(in, text)) return std::nullopt;
    std::string_view rest = KernelText::trimmed(text);
    if (rest.empty()) return std::nullopt;
    // Far above any kernel's processor limit, so a garbled list cannot wrap the count.
    constexpr std::uint64_t mostProcessors = 1u << 20;
    std::uint64_t count = 0;
    while (!rest.empty()) {
        size_t comma = rest.find(',');
        std::string_view range = rest.substr(0, comma);
        rest.remove_prefix(comma == std::string_view::npos ? rest.size() : comma + 1);
        size_t dash = range.find('-');
        auto first = KernelText::unsignedNumber(range.substr(0, dash));
        auto last = dash == std::string_view::npos ? first : KernelText::unsignedNumber(range.substr(dash + 1));
        if (!first || !last || *last < *first || *last - *first >= mostProcessors) return std::nullopt;
        count += *last - *first + 1;
        if (count > mostProcessors) return std::nullopt;
    }
    return static_cast<int>(count);
}

std::string modelName(const std::filesystem::path& cpuinfo) {
    std::ifstream in(cpuinfo);
    std::string line;
    while (std::getline(in, line)) {
        std::string_view view = line;
        size_t colon = view.find(':');
        if (colon == std::string_view::npos || KernelText::trimmed(view.substr(0, colon)) != "model name") continue;
        return std::string(KernelText::trimmed(view.substr(colon + 1)));
    }
    return {};
}

}  // namespace

ProcessorInfo ProcessorInfo::read(const SystemRoots& roots) {
    ProcessorInfo info;
    // Hybrid Intel chips expose their two core kinds as the "cpu_core" and "cpu_atom" event sources.
    info.performanceCores = countCpuList(roots.sys / "devices/cpu_core/cpus").value_or(0);
    info.efficiencyCores = countCpuList(roots.sys / "devices/cpu_atom/cpus").value_or(0);
    long online = ::sysconf(_SC_NPROCESSORS_ONLN);
    info.logicalCores = countCpuList(roots.sys / "devices/system/cpu/online").value_or(online > 0 ? static_cast<int>(online) : 1);
    info.chipName = modelName(roots.proc / "cpuinfo");
    return info;
}
