#include "Services/ParallelWalk.h"

#include "Platform/DirectoryReader.h"
#include "Foundation/SaturatingSum.h"
#include "Services/WalkEntryFilter.h"
#include "Services/WalkWorkers.h"

namespace {

std::string childPath(const std::string& parent, const std::string& name) {
    std::string path;
    path.reserve(parent.size() + 1 + name.size());
    path.append(parent).append(1, '/').append(name);
    return path;
}

}  // namespace

ParallelWalk::ParallelWalk(const std::string& rootPath, bool includeHidden)
    : rootPath_(rootPath == "/" ? std::string() : rootPath), includeHidden_(includeHidden), progress_(rootPath) {}

ParallelWalk::Accumulator ParallelWalk::makeAccumulator() const {
    Accumulator accumulator;
    accumulator.bucketSizes.assign(buckets_.size(), 0);
    accumulator.bucketCounts.assign(buckets_.size(), 0);
    return accumulator;
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
            rootTotals_.largest.insert({path, entry.allocatedSize, entry.modified});
            buckets_.push_back({std::move(entry.name), std::move(path), entry.allocatedSize, 1});
        } else {
            stack_.seed({path, static_cast<std::int64_t>(buckets_.size())});
            rootTotals_.folderCount += 1;
            buckets_.push_back({std::move(entry.name), std::move(path), 0, 0});
        }
    }
    return true;
}

void ParallelWalk::runWorker() {
    Accumulator local = makeAccumulator();
    std::vector<WalkItem> children;
    std::vector<DirectoryEntry> entries;
    entries.reserve(256);

    const int statusThreads = WalkWorkers::count();
    while (std::optional<WalkItem> item = stack_.next()) {
        entries.clear();
        std::int64_t directoryFiles = 0;
        std::int64_t directoryBytes = 0;
        const auto bucket = static_cast<size_t>(item->tag);
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
                local.bucketSizes[bucket] = saturatingSum(local.bucketSizes[bucket], size);
                local.bucketCounts[bucket] += 1;
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
    result.buckets = buckets_;
    LargestFiles largest = rootTotals_.largest;

    for (Accumulator& accumulator : stack_.takeResults()) {
        result.totalSize = saturatingSum(result.totalSize, accumulator.totalSize);
        result.fileCount += accumulator.fileCount;
        result.folderCount += accumulator.folderCount;
        result.inaccessibleCount += accumulator.inaccessible;
        for (size_t i = 0; i < result.buckets.size(); ++i) {
            result.buckets[i].size = saturatingSum(result.buckets[i].size, accumulator.bucketSizes[i]);
            result.buckets[i].count += accumulator.bucketCounts[i];
        }
        for (const LargeFileRecord& record : accumulator.largest.records()) largest.insert(record);
    }
    result.largestFiles = largest.sortedDescending();
    return result;
}
