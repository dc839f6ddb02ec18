#include "Platform/ProcessorStatistics.h"

#include "Platform/KernelText.h"

ProcessorStatistics::ProcessorStatistics(const SystemRoots& roots) : stat_(roots.proc / "stat") {}

std::optional<ProcessorTicks> ProcessorStatistics::read() {
    // The summed line comes first; the rest of the file (per processor, interrupts) is not needed.
    auto content = stat_.read(512);
    if (!content) return std::nullopt;
    std::string_view line = KernelText::nextLine(*content);
    if (KernelText::nextField(line) != "cpu") return std::nullopt;
    ProcessorTicks ticks;
    for (std::uint64_t* field : {&ticks.user, &ticks.nice, &ticks.system, &ticks.idle}) {
        auto value = KernelText::unsignedNumber(KernelText::nextField(line));
        if (!value) return std::nullopt;
        *field = *value;
    }
    // Older kernels stop earlier; missing columns stay 0.
    for (std::uint64_t* field : {&ticks.iowait, &ticks.irq, &ticks.softirq, &ticks.steal}) *field = KernelText::nextNumber(line);
    return ticks;
}
