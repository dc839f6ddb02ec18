#include "Services/DiskScanner.h"

#include "Platform/KindDescriptions.h"
#include "Platform/RealPath.h"
#include "Platform/StandardizedPath.h"
#include "Services/ParallelWalk.h"
#include "Foundation/SaturatingSum.h"
#include "Services/ScanError.h"
#include "Services/WalkWorkers.h"

#include <algorithm>

ScanSnapshot DiskScanner::scan(const std::filesystem::path& rootPath, bool includeHidden,
                               const ProgressCallback& progress, std::stop_token stop) const {
    const Instant start = Instant::now();
    const std::filesystem::path location = standardizedPath(rootPath);

    // A root reached through a link (a home folder that is one) is walked at its real place; links
    // inside the tree are still never followed.
    ParallelWalk walk(realPath(location).value_or(location).native(), includeHidden, gate_);
    if (!walk.prepareRoot()) throw ScanError::cannotOpen(location);

    WalkWorkers::run({.worker = [&] { walk.runWorker(); },
                      .cancel = [&] { walk.cancel(); },
                      .pollInterval = pollInterval_,
                      .tick =
                          [&] {
                              if (!progress) return;
                              WalkProgress::Counts counts = walk.progress();
                              progress({std::move(counts.path), walk.rootTotals().fileCount + counts.files,
                                        saturatingSum(counts.bytes, walk.rootTotals().totalSize)});
                          }},
                     stop);

    ParallelWalk::Result result = walk.finish();

    ScanSnapshot snapshot;
    snapshot.rootPath = location;
    snapshot.totalSize = result.totalSize;
    snapshot.fileCount = result.fileCount;
    snapshot.folderCount = result.folderCount;
    snapshot.inaccessibleCount = result.inaccessibleCount;
    snapshot.includesHiddenFiles = includeHidden;

    snapshot.buckets = std::move(result.buckets);
    std::stable_sort(snapshot.buckets.begin(), snapshot.buckets.end(),
                     [](const StorageBucket& a, const StorageBucket& b) { return a.size > b.size; });

    KindDescriptions kinds;
    snapshot.largestFiles.reserve(result.largestFiles.size());
    for (LargeFileRecord& record : result.largestFiles) {
        ScannedFile file;
        file.path = std::move(record.path);
        file.size = record.size;
        file.modifiedAt = record.modified;
        file.kind = kinds.kind(file.path);
        snapshot.largestFiles.push_back(std::move(file));
    }

    snapshot.duration = Instant::now().secondsSince(start);
    snapshot.scannedAt = Instant::now();
    return snapshot;
}
