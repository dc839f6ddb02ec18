#pragma once

#include "Models/StorageBucket.h"
#include "Platform/DirectoryEntry.h"
#include "Services/LargestFiles.h"
#include "Services/WalkProgress.h"
#include "Services/WalkStack.h"

#include <cstdint>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

// Measures one folder tree for a scan: each counted top-level entry is a bucket; worker threads
// share one stack of directories, each tagged with its bucket, and add files to totals of their own,
// merged once at the end. Follows no symbolic link; counts a file with several names once.
class ParallelWalk {
public:
    // What one worker added to one bucket.
    struct BucketShare {
        std::int64_t bucket = 0;  // where this name was met
        std::int64_t size = 0;  // allocated bytes
        std::int64_t files = 0;
    };

    // One name of a file that has several. Such names are set aside while the walk runs, by each
    // worker on its own, and the file is counted once when it has ended.
    struct SharedName {
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::int64_t size = 0;  // allocated bytes
        std::int64_t bucket = 0;  // where this name was met

        // The names of one file together.
        bool operator<(const SharedName& other) const { return std::tie(device, inode) < std::tie(other.device, other.inode); }
        bool sameFile(const SharedName& other) const { return device == other.device && inode == other.inode; }
    };

    struct Accumulator {
        std::int64_t totalSize = 0;
        std::int64_t fileCount = 0;
        std::int64_t folderCount = 0;
        std::int64_t inaccessible = 0;
        // One share per run of directories of one bucket, merged when the list doubles: a worker's
        // cost follows the buckets it touched, not the number of top-level entries.
        std::vector<BucketShare> bucketShares;
        std::size_t mergeAt = 1024;
        LargestFiles largest{4000};
        std::vector<SharedName> sharedNames;  // sorted once the worker has handed them in

        void addToBucket(std::int64_t bucket, std::int64_t files, std::int64_t bytes);
    };

    struct Result {
        std::int64_t totalSize = 0;
        std::int64_t fileCount = 0;
        std::int64_t folderCount = 0;
        std::int64_t inaccessibleCount = 0;
        std::vector<StorageBucket> buckets;  // in reading order
        std::vector<LargeFileRecord> largestFiles;  // largest first
    };

    // `rootPath` without a trailing slash; "/" for the volume root. `gate`, when given, is called by a
    // worker before it reads each directory below the root.
    ParallelWalk(const std::string& rootPath, bool includeHidden, std::function<void(const std::string&)> gate = {});

    // Reads the top level before any worker starts; false when the folder cannot be read.
    bool prepareRoot();
    // The body of one worker thread.
    void runWorker();
    // Safe from any thread: workers stop after the directory they hold.
    void cancel() { stack_.cancel(); }
    // Once every worker has returned; only once.
    Result finish();

    WalkProgress::Counts progress() const { return progress_.read(); }
    // Readable without a lock once prepareRoot() has returned.
    const Accumulator& rootTotals() const { return rootTotals_; }

private:
    void countSharedNamesOnce(const std::vector<Accumulator>& accumulators, Result& result) const;
    static void listEachFileOnce(std::vector<const LargeFileRecord*>& candidates);

    std::string rootPath_;  // "" for "/", so that a child's path is "/" + name
    bool includeHidden_;
    std::function<void(const std::string&)> gate_;
    WalkStack<Accumulator> stack_;
    std::vector<StorageBucket> buckets_;
    Accumulator rootTotals_;
    WalkProgress progress_;
};
