#include "Services/ProcessorSampler.h"

#include "Services/CounterRates.h"

#include <algorithm>

ProcessorSampler::ProcessorSampler(const SystemRoots& roots) : statistics_(roots) {}

std::optional<double> ProcessorSampler::cpuUsage(CPUDetail& cpu) {
    auto read = statistics_.read();
    if (!read) return std::nullopt;
    // User includes low-priority (nice) time; the kernel's interrupt work counts as system time and
    // waiting for I/O as idle. Stolen time went to other guests of the hypervisor and is left out of
    // the total, so the shares are of the time this machine had.
    Ticks ticks;
    ticks.user = read->user + read->nice;
    ticks.system = read->system + read->irq + read->softirq;
    ticks.total = ticks.user + ticks.system + read->idle + read->iowait;

    double usage = 0;
    if (previous_ && ticks.total > previous_->total) {
        double elapsed = static_cast<double>(ticks.total - previous_->total);
        cpu.user = std::min(static_cast<double>(CounterRates::added(ticks.user, previous_->user)) / elapsed, 1.0);
        cpu.system = std::min(static_cast<double>(CounterRates::added(ticks.system, previous_->system)) / elapsed, 1.0);
        usage = std::clamp(cpu.user + cpu.system, 0.0, 1.0);
    }
    previous_ = ticks;
    return usage;
}
