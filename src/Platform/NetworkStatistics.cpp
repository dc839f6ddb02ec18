#include "Platform/NetworkStatistics.h"

#include "Platform/KernelText.h"

NetworkStatistics::NetworkStatistics(const SystemRoots& roots) : dev_(roots.proc / "net/dev") {}

std::optional<std::vector<InterfaceTotals>> NetworkStatistics::read() {
    auto content = dev_.read();
    if (!content) return std::nullopt;
    std::vector<InterfaceTotals> interfaces;
    std::string_view rest = *content;
    while (!rest.empty()) {
        // "  eth0: rx-bytes packets errs drop fifo frame compressed multicast tx-bytes ..."; the two
        // header lines have no colon, and an interface name may hold anything but '/', ':' and blanks.
        std::string_view line = KernelText::nextLine(rest);
        size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        std::string_view name = KernelText::trimmed(line.substr(0, colon));
        if (name == "lo") continue;
        std::string_view counters = line.substr(colon + 1);
        std::uint64_t received = KernelText::nextNumber(counters);
        for (int skip = 0; skip < 7; ++skip) KernelText::nextField(counters);
        interfaces.push_back(InterfaceTotals{std::string(name), received, KernelText::nextNumber(counters)});
    }
    return interfaces;
}
