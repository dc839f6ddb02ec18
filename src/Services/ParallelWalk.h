#pragma once

#include "Platform/DirectoryEntry.h"
#include "Services/LargestFiles.h"
#include "Services/WalkProgress.h"
#include "Services/WalkStack.h"

#include <cstdint>
#include <string>
#include <vector>

// Measures one folder tree for a scan: each counted top-level entry is a bucket; worker threads
// share one stack of directories, each tagged with its bucket, and add files to totals of their own,
// merged once at the end. Follows no symbolic link; counts a hard-linked file once per name.
class ParallelWalk {
public:
    struct Bucket {
        std::string name;
        std::string path;
        std::int64_t size = 0;  // allocated bytes
        std::int64_t count = 0;  // files
    };

    struct Accumulator {
        std::int64_t totalSize = 0;
        std::int64_t fileCount = 0;
        std::int64_t folderCount = 0;
        std::int64_t inaccessible = 0;
        std::vector<std::int64_t> bucketSizes;
        std::vector<std::int64_t> bucketCounts;
        LargestFiles largest{4000};
    };

    struct Result {
        std::int64_t totalSize = 0;
        std::int64_t fileCount = 0;
        std::int64_t folderCount = 0;
        std::int64_t inaccessibleCount = 0;
        std::vector<Bucket> buckets;  // in reading order
        std::vector<LargeFileRecord> largestFiles;  // largest first
    };

    // `rootPath` without a trailing slash; "/" for the volume root.
    ParallelWalk(const std::string& rootPath, bool includeHidden);

    // Reads the top level before any worker starts; false when the folder cannot be read.
    bool prepareRoot();
    // The body of one worker thread.
    void runWorker();
    // Safe from any thread: workers stop after the directory they hold.
    void cancel() { stack_.cancel(); }
    // Once every worker has returned.
    Result finish();

    WalkProgress::Counts progress() const { return progress_.read(); }
    // Readable without a lock once prepareRoot() has returned.
    const Accumulator& rootTotals() const { return rootTotals_; }

private:
    Accumulator makeAccumulator() const;

    std::string rootPath_;  // "" for "/", so that a child's path is "/" + name
    bool includeHidden_;
    WalkStack<Accumulator> stack_;
    std::vector<Bucket> buckets_;
    Accumulator rootTotals_;
    WalkProgress progress_;
};
