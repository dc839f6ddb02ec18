// quarnell-bench apps PASSES: runs the per-application pass over this machine's processes PASSES
// times back to back and prints the processor time one pass takes.
#include "BenchCommand.h"
#include "ProcessorTime.h"

#include "Services/AppUsageSampler.h"

#include <cstdio>
#include <string>

namespace {

int runApps(const std::vector<std::string>& arguments) {
    long passes = 200;
    try {
        if (!arguments.empty()) passes = std::stol(arguments[0]);
    } catch (const std::exception&) {
        passes = -1;
    }
    if (arguments.size() > 1 || passes < 1) {
        std::fprintf(stderr, "usage: quarnell-bench apps PASSES\n");
        return 2;
    }
    AppUsageSampler sampler(SystemRoots::machine());
    Instant now = Instant::now();
    // The first pass looks up every process's application; the measured ones are the steady state.
    auto pass = sampler.sampleApps(now, 1);
    int processes = 0;
    double start = processorSeconds();
    for (long index = 1; index <= passes; ++index) {
        pass = sampler.sampleApps(now.addingSeconds(2.0 * static_cast<double>(index)), 1);
        if (!pass) return 1;
    }
    double used = processorSeconds() - start;
    for (const AppUsage& app : pass->apps) processes += app.processCount;
    std::printf("{\"command\":\"apps\",\"passes\":%ld,\"processes\":%d,\"cpuMillisecondsPerPass\":%.4f}\n", passes, processes,
                1000 * used / static_cast<double>(passes));
    return 0;
}

const bool appsRegistered = registerBenchCommand("apps", runApps);

}  // namespace
