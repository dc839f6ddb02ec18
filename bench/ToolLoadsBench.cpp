#include "BenchCommand.h"
#include "PeakMemory.h"

#include "Platform/SystemRoots.h"
#include "Services/FileIntelligenceService.h"
#include "Services/ScanError.h"

#include <chrono>
#include <cinttypes>
#include <cstdio>

namespace {

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// quarnell-bench cleanup-load ROOT [items]: the smart-cleanup and developer-cache loads of the home
// folder ROOT/home, as one JSON line with the items and their total size; with "items", then one
// line per item with its size and what moving it frees.
int runCleanupLoad(const std::vector<std::string>& arguments) {
    if (arguments.empty() || arguments.size() > 2) {
        std::fprintf(stderr, "usage: quarnell-bench cleanup-load ROOT [items]\n");
        return 2;
    }
    SystemRoots::install(SystemRoots::fixture(arguments[0]));
    const auto start = std::chrono::steady_clock::now();
    FileIntelligenceService service;
    const std::vector<CleanupCandidate> cleanup = service.cleanupCandidates();
    const std::vector<CleanupCandidate> developer = service.developerCandidates();
    const double seconds = secondsSince(start);
    std::int64_t size = 0;
    for (const auto* list : {&cleanup, &developer})
        for (const CleanupCandidate& candidate : *list) size += candidate.size;
    std::printf("{\"items\":%zu,\"size\":%" PRId64 ",\"seconds\":%.6f,\"peakRSS\":%" PRId64 "}\n", cleanup.size() + developer.size(), size, seconds,
                peakResidentBytes());
    if (arguments.size() == 2)
        for (const auto* list : {&cleanup, &developer})
            for (const CleanupCandidate& candidate : *list)
                std::printf("%s\t%s\t%" PRId64 "\t%" PRId64 "\n", list == &cleanup ? "cleanup" : "developer", candidate.path.c_str(), candidate.size,
                            candidate.freed.alone());
    return 0;
}

// quarnell-bench forgotten-load DIR [MINIMUM [items]]: files of DIR unchanged for 180 days, of
// MINIMUM bytes (10,000,000 as the app asks) or more, as one JSON line; with "items", then one line
// per file with its size and what moving it alone frees.
int runForgottenLoad(const std::vector<std::string>& arguments) {
    if (arguments.empty() || arguments.size() > 3) {
        std::fprintf(stderr, "usage: quarnell-bench forgotten-load DIR [MINIMUM [items]]\n");
        return 2;
    }
    try {
        const auto start = std::chrono::steady_clock::now();
        FileIntelligenceService service;
        const std::vector<ScannedFile> files = service.forgottenFiles(arguments[0], 180, arguments.size() >= 2 ? std::stoll(arguments[1]) : 10'000'000);
        const double seconds = secondsSince(start);
        std::int64_t size = 0;
        for (const ScannedFile& file : files) size += file.size;
        std::printf("{\"files\":%zu,\"size\":%" PRId64 ",\"seconds\":%.6f,\"peakRSS\":%" PRId64 "}\n", files.size(), size, seconds, peakResidentBytes());
        if (arguments.size() == 3)
            for (const ScannedFile& file : files) std::printf("forgotten\t%s\t%" PRId64 "\t%" PRId64 "\n", file.path.c_str(), file.size, file.freed().alone());
        return 0;
    } catch (const ScanError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}

const bool cleanupLoadRegistered = registerBenchCommand("cleanup-load", runCleanupLoad);
const bool forgottenLoadRegistered = registerBenchCommand("forgotten-load", runForgottenLoad);

}  // namespace
