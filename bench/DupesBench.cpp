#include "BenchCommand.h"
#include "PeakMemory.h"

#include "Services/FileIntelligenceService.h"
#include "Services/ScanError.h"

#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <fstream>

namespace {

// quarnell-bench dupes [--no-hidden] DIR [GROUPS]: one duplicate search, hidden entries included
// unless told, as one JSON line. GROUPS, when given, receives every group as its paths, one per line,
// a blank line after each.
int runDupes(const std::vector<std::string>& given) {
    std::vector<std::string> arguments = given;
    const bool includeHidden = arguments.empty() || arguments.front() != "--no-hidden";
    if (!includeHidden) arguments.erase(arguments.begin());
    if (arguments.empty() || arguments.size() > 2) {
        std::fprintf(stderr, "usage: quarnell-bench dupes [--no-hidden] DIR [GROUPS]\n");
        return 2;
    }
    try {
        auto start = std::chrono::steady_clock::now();
        FileIntelligenceService service;
        DuplicateSearchResult result = service.duplicateGroups(arguments[0], includeHidden, nullptr, nullptr);
        const std::vector<DuplicateGroup>& groups = result.groups;
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::int64_t files = 0;
        std::int64_t wasted = 0;
        for (const DuplicateGroup& group : groups) {
            files += std::int64_t(group.files.size());
            wasted += group.reclaimableBytes();
        }
        if (arguments.size() == 2) {
            std::ofstream list(arguments[1], std::ios::binary);
            for (const DuplicateGroup& group : groups) {
                for (const ScannedFile& file : group.files) list << file.path.native() << '\n';
                list << '\n';
            }
        }
        std::printf("{\"groups\":%zu,\"files\":%" PRId64 ",\"wasted\":%" PRId64 ",\"notCompared\":%zu,\"seconds\":%.6f,\"peakRSS\":%" PRId64 "}\n",
                    groups.size(), files, wasted, result.notCompared.size(), seconds, peakResidentBytes());
        return 0;
    } catch (const ScanError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}

const bool dupesRegistered = registerBenchCommand("dupes", runDupes);

}  // namespace
