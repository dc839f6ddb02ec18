// quarnell-bench cleanup RUNS HOME: loads the smart-cleanup candidates of the home folder HOME RUNS
// times, with this machine's processes and mounts (/proc), and prints the first (cold) time, the
// median and the slowest in milliseconds, with how many candidates and how many of them are safe.
#include "BenchCommand.h"

#include "Platform/SystemRoots.h"
#include "Services/FileIntelligenceService.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

namespace {

int runCleanup(const std::vector<std::string>& arguments) {
    int runs = 0;
    try {
        if (arguments.size() == 2) runs = std::stoi(arguments[0]);
    } catch (const std::exception&) {
        runs = 0;
    }
    if (runs < 1) {
        std::fprintf(stderr, "usage: quarnell-bench cleanup RUNS HOME\n");
        return 2;
    }
    // The generated home with its XDG folders; the processes and mounts are the machine's own.
    SystemRoots roots = SystemRoots::fixture(arguments[1]);
    roots.home = arguments[1];
    roots.cacheHome = roots.home / ".cache";
    roots.configHome = roots.home / ".config";
    roots.dataHome = roots.home / ".local/share";
    roots.stateHome = roots.home / ".local/state";
    roots.downloads = roots.home / "Downloads";
    roots.desktop = roots.home / "Desktop";
    roots.userFolders = {roots.downloads, roots.desktop};
    roots.root = "/";
    roots.proc = "/proc";
    SystemRoots::install(roots);

    FileIntelligenceService service;
    std::vector<double> times;
    std::size_t candidates = 0, safe = 0;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const auto list = service.cleanupCandidates();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        candidates = list.size();
        safe = std::size_t(std::count_if(list.begin(), list.end(), [](const CleanupCandidate& each) { return each.safety == CleanupSafety::safe; }));
    }
    const double first = times.front();
    std::sort(times.begin(), times.end());
    std::printf("{\"command\":\"cleanup\",\"runs\":%d,\"candidates\":%zu,\"safe\":%zu,\"firstMs\":%.3f,\"medianMs\":%.3f,\"maxMs\":%.3f}\n", runs, candidates,
                safe, first, times[times.size() / 2], times.back());
    return 0;
}

const bool cleanupRegistered = registerBenchCommand("cleanup", runCleanup);

}  // namespace
