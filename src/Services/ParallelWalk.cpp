#include "Services/ParallelWalk.h"

#include "Platform/DirectoryReader.h"
#include "Foundation/SaturatingSum.h"
#include "Services/WalkEntryFilter.h"
#include "Services/WalkWorkers.h"

#include <algorithm>

namespace {

std::string childPath(const std::string& parent, const std::string& name) {
    std::string path;
    path.reserve(parent.size() + 1 + name.size());
    path.append(parent).append(1, '/').append(name);
    return path;
}

}  // namespace

ParallelWalk::ParallelWalk(const std::string& rootPath, bool includeHidden, std::function<void(const std::string&)> gate)
    : rootPath_(rootPath == "/" ? std::string() : rootPath), includeHidden_(includeHidden), gate_(std::move(gate)), progress_(rootPath) {}

void ParallelWalk::Accumulator::addToBucket(std::int64_t bucket, std::int64_t files, std::int64_t bytes) {
    if (files == 0) return;
    if (bucketShares.empty() || bucketShares.back().bucket != bucket) bucketShares.push_back({bucket, 0, 0});
    BucketShare& share = bucketShares.back();
    share.size = saturatingSum(share.size, bytes);
    share.files += files;
    if (bucketShares.size() < mergeAt) return;
    std::sort(bucketShares.begin(), bucketShares.end(), [](const BucketShare& a, const BucketShare& b) { return a.bucket < b.bucket; });
    std::size_t kept = 0;
    for (const BucketShare& next : bucketShares) {
        if (kept > 0 && bucketShares[kept - 1].bucket == next.bucket) {
            bucketShares[kept - 1].size = saturatingSum(bucketShares[kept - 1].size, next.size);
            bucketShares[kept - 1].files += next.files;
        } else {
            bucketShares[kept++] = next;
        }
    }
    bucketShares.resize(kept);
    mergeAt = std::max<std::size_t>(1024, 2 * kept);
}

bool ParallelWalk::prepareRoot() {
    std::vector<DirectoryEntry> entries;
    if (!DirectoryReader::read(rootPath_.empty() ? "/" : rootPath_, entries, {}, WalkWorkers::count())) return false;
    for (DirectoryEntry& entry : entries) {
        if (!passesWalkFilter(entry, includeHidden_)) continue;
        std::string path = childPath(rootPath_, entry.name);
        if (entry.type == DirectoryEntry::Kind::file) {
            rootTotals_.fileCount += 1;
            rootTotals_.totalSize = saturatingSum(rootTotals_.totalSize, entry.allocatedSize);
            if (rootTotals_.largest.admits(entry.allocatedSize)) rootTotals_.largest.insert({path, entry.allocatedSize, entry.modified});
            buckets_.push_back({std::move(path), entry.allocatedSize, 1});
        } else {
            stack_.seed({path, static_cast<std::int64_t>(buckets_.size())});
            rootTotals_.folderCount += 1;
            buckets_.push_back({std::move(path), 0, 0});
        }
    }
    return true;
}

void ParallelWalk::runWorker() {
    Accumulator local;
    std::vector<WalkItem> children;
    std::vector<DirectoryEntry> entries;
    entries.reserve(256);

    const int statusThreads = WalkWorkers::count();
    while (std::optional<WalkItem> item = stack_.next()) {
        if (gate_) gate_(item->path);
        entries.clear();
        std::int64_t directoryFiles = 0;
        std::int64_t directoryBytes = 0;
        auto fold = [&](std::vector<DirectoryEntry>& batch) {
            for (DirectoryEntry& entry : batch) {
                if (!passesWalkFilter(entry, includeHidden_)) continue;
                if (entry.type == DirectoryEntry::Kind::directory) {
                    local.folderCount += 1;
                    children.push_back({childPath(item->path, entry.name), item->tag});
                    continue;
                }
                std::int64_t size = entry.allocatedSize;
                local.fileCount += 1;
                local.totalSize = saturatingSum(local.totalSize, size);
                if (local.largest.admits(size)) local.largest.insert({childPath(item->path, entry.name), size, entry.modified});
                directoryFiles += 1;
                directoryBytes = saturatingSum(directoryBytes, size);
            }
            batch.clear();
        };
        if (DirectoryReader::read(item->path, entries, fold, statusThreads)) {
            fold(entries);
        } else {
            local.inaccessible += 1;
        }
        local.addToBucket(item->tag, directoryFiles, directoryBytes);
        progress_.add(directoryFiles, directoryBytes, item->path);
        stack_.finished(children);
    }
    stack_.handIn(std::move(local));
}

ParallelWalk::Result ParallelWalk::finish() {
    Result result;
    result.totalSize = rootTotals_.totalSize;
    result.fileCount = rootTotals_.fileCount;
    result.folderCount = rootTotals_.folderCount;
    result.inaccessibleCount = rootTotals_.inaccessible;
    result.buckets = std::move(buckets_);
    LargestFiles largest = rootTotals_.largest;

    for (Accumulator& accumulator : stack_.takeResults()) {
        result.totalSize = saturatingSum(result.totalSize, accumulator.totalSize);
        result.fileCount += accumulator.fileCount;
        result.folderCount += accumulator.folderCount;
        result.inaccessibleCount += accumulator.inaccessible;
        for (const BucketShare& share : accumulator.bucketShares) {
            StorageBucket& bucket = result.buckets[static_cast<std::size_t>(share.bucket)];
            bucket.size = saturatingSum(bucket.size, share.size);
            bucket.fileCount += share.files;
        }
        for (const LargeFileRecord& record : accumulator.largest.records()) largest.insert(record);
    }
    result.largestFiles = largest.sortedDescending();
    return result;
}
