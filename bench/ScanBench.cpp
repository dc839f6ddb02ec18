#include "BenchCommand.h"
#include "PeakMemory.h"

#include "Services/DiskScanner.h"
#include "Services/ScanError.h"

#include <cinttypes>
#include <cstdio>

namespace {

// quarnell-bench scan DIR: one scan with hidden entries included, as one JSON line.
int runScan(const std::vector<std::string>& arguments) {
    if (arguments.size() != 1) {
        std::fprintf(stderr, "usage: quarnell-bench scan DIR\n");
        return 2;
    }
    try {
        ScanSnapshot snapshot = DiskScanner().scan(arguments[0], true, nullptr);
        std::int64_t largest = snapshot.largestFiles.empty() ? 0 : snapshot.largestFiles.front().size;
        std::printf("{\"files\":%" PRId64 ",\"folders\":%" PRId64 ",\"inaccessible\":%" PRId64 ",\"bytes\":%" PRId64
                    ",\"largest\":%" PRId64 ",\"seconds\":%.6f,\"peakRSS\":%" PRId64 "}\n",
                    snapshot.fileCount, snapshot.folderCount, snapshot.inaccessibleCount, snapshot.totalSize, largest,
                    snapshot.duration, peakResidentBytes());
        return 0;
    } catch (const ScanError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}

const bool scanRegistered = registerBenchCommand("scan", runScan);

}  // namespace
