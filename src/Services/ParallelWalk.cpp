#include "Services/ParallelWalk.h"

#include "Platform/DirectoryReader.h"
#include "Foundation/SaturatingSum.h"
#include "Foundation/TreeOrder.h"
#include "Services/WalkEntryFilter.h"
#include "Services/WalkWorkers.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <queue>
#include <tuple>
#include <unordered_set>

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
            if (rootTotals_.largest.admits(entry.allocatedSize))
                rootTotals_.largest.insert({path, entry.allocatedSize, entry.modified, entry.device, entry.inode});
            if (entry.linkCount > 1) {
                rootTotals_.sharedNames.push_back({entry.device, entry.inode, entry.allocatedSize, static_cast<std::int64_t>(buckets_.size())});
                buckets_.push_back({std::move(path), 0, 0});
                continue;
            }
            rootTotals_.fileCount += 1;
            rootTotals_.totalSize = saturatingSum(rootTotals_.totalSize, entry.allocatedSize);
            buckets_.push_back({std::move(path), entry.allocatedSize, 1});
        } else {
            stack_.seed({path, static_cast<std::int64_t>(buckets_.size())});
            rootTotals_.folderCount += 1;
            buckets_.push_back({std::move(path), 0, 0});
        }
    }
    std::sort(rootTotals_.sharedNames.begin(), rootTotals_.sharedNames.end());
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
        std::int64_t directoryFiles = 0;  // counted in this directory's bucket
        std::int64_t directoryBytes = 0;
        std::int64_t seenFiles = 0;  // shown as progress
        std::int64_t seenBytes = 0;
        auto fold = [&](std::vector<DirectoryEntry>& batch) {
            for (DirectoryEntry& entry : batch) {
                if (!passesWalkFilter(entry, includeHidden_)) continue;
                if (entry.type == DirectoryEntry::Kind::directory) {
                    local.folderCount += 1;
                    children.push_back({childPath(item->path, entry.name), item->tag});
                    continue;
                }
                std::int64_t size = entry.allocatedSize;
                if (local.largest.admits(size)) local.largest.insert({childPath(item->path, entry.name), size, entry.modified, entry.device, entry.inode});
                seenFiles += 1;
                if (entry.linkCount > 1) {
                    // Counted once when the walk has ended; until then progress shows this name's share.
                    local.sharedNames.push_back({entry.device, entry.inode, size, item->tag});
                    seenBytes = saturatingSum(seenBytes, size / entry.linkCount);
                    continue;
                }
                local.fileCount += 1;
                local.totalSize = saturatingSum(local.totalSize, size);
                directoryFiles += 1;
                directoryBytes = saturatingSum(directoryBytes, size);
                seenBytes = saturatingSum(seenBytes, size);
            }
            batch.clear();
        };
        if (DirectoryReader::read(item->path, entries, fold, statusThreads)) {
            fold(entries);
        } else {
            local.inaccessible += 1;
        }
        local.addToBucket(item->tag, directoryFiles, directoryBytes);
        progress_.add(seenFiles, seenBytes, item->path);
        stack_.finished(children);
    }
    std::sort(local.sharedNames.begin(), local.sharedNames.end());  // here, so that the workers sort at once
    stack_.handIn(std::move(local));
}

ParallelWalk::Result ParallelWalk::finish() {
    Result result;
    result.totalSize = rootTotals_.totalSize;
    result.fileCount = rootTotals_.fileCount;
    result.folderCount = rootTotals_.folderCount;
    result.inaccessibleCount = rootTotals_.inaccessible;
    result.buckets = std::move(buckets_);
    std::vector<const LargeFileRecord*> candidates;
    for (const LargeFileRecord& record : rootTotals_.largest.records()) candidates.push_back(&record);

    std::vector<Accumulator> accumulators = stack_.takeResults();
    for (Accumulator& accumulator : accumulators) {
        result.totalSize = saturatingSum(result.totalSize, accumulator.totalSize);
        result.fileCount += accumulator.fileCount;
        result.folderCount += accumulator.folderCount;
        result.inaccessibleCount += accumulator.inaccessible;
        for (const BucketShare& share : accumulator.bucketShares) {
            StorageBucket& bucket = result.buckets[static_cast<std::size_t>(share.bucket)];
            bucket.size = saturatingSum(bucket.size, share.size);
            bucket.fileCount += share.files;
        }
        for (const LargeFileRecord& record : accumulator.largest.records()) candidates.push_back(&record);
    }
    countSharedNamesOnce(accumulators, result);

    listEachFileOnce(candidates);
    LargestFiles largest = LargestFiles(rootTotals_.largest.capacity());
    for (const LargeFileRecord* record : candidates)
        if (largest.admits(record->size)) largest.insert(*record);
    result.largestFiles = largest.sortedDescending();
    return result;
}

// A file with several names is charged, whole, to the first of its names in tree order (folder by
// folder, bytewise). A folder's size then follows from the names alone, never from which worker met
// one first, and the figures are du's for the folders taken in sorted order: the total counts each
// file once, and a backup rotation's daily.1 beside daily.0 shows what it adds. An equal share per
// name would instead shrink every rotation each time one more is made. Names outside the folder are
// not seen, so such a file counts in full under its first name here, as du counts it.
void ParallelWalk::countSharedNamesOnce(const std::vector<Accumulator>& accumulators, Result& result) const {
    // The sorted lists are merged as they stand rather than joined, which would take twice the memory.
    struct Cursor {
        const SharedName* at;
        const SharedName* end;
    };
    auto later = [](const Cursor& a, const Cursor& b) { return *b.at < *a.at; };
    std::priority_queue<Cursor, std::vector<Cursor>, decltype(later)> next(later);
    auto add = [&](const std::vector<SharedName>& names) {
        if (!names.empty()) next.push({names.data(), names.data() + names.size()});
    };
    add(rootTotals_.sharedNames);
    for (const Accumulator& accumulator : accumulators) add(accumulator.sharedNames);

    // Buckets are the entries of one folder, so their tree order is that of their names, bytewise: a
    // name holds no '/'. Only the buckets of a file's names are compared, never all of them ranked.
    const std::size_t nameStart = rootPath_.size() + 1;
    auto bucketComesFirst = [&](std::int64_t a, std::int64_t b) {
        return std::string_view(result.buckets[static_cast<std::size_t>(a)].path).substr(nameStart) <
               std::string_view(result.buckets[static_cast<std::size_t>(b)].path).substr(nameStart);
    };
    std::optional<SharedName> file;  // the file being counted: its first name's bucket, and its size
    auto count = [&] {
        if (!file) return;
        StorageBucket& bucket = result.buckets[static_cast<std::size_t>(file->bucket)];
        bucket.size = saturatingSum(bucket.size, file->size);
        bucket.fileCount += 1;
        result.totalSize = saturatingSum(result.totalSize, file->size);
        result.fileCount += 1;
    };
    while (!next.empty()) {
        Cursor cursor = next.top();
        next.pop();
        const SharedName& name = *cursor.at;
        if (file && file->sameFile(name)) {
            // A file written to while it was read may show its names different sizes: the largest
            // counts, whatever the order they were met in.
            file->size = std::max(file->size, name.size);
            if (bucketComesFirst(name.bucket, file->bucket)) file->bucket = name.bucket;
        } else {
            count();
            file = name;
        }
        if (++cursor.at != cursor.end) next.push(cursor);
    }
    count();
}

// The largest files list a file with several names once, under the first of its listed names in
// tree order: the name it is charged to, unless a worker met more larger names than it keeps.
void ParallelWalk::listEachFileOnce(std::vector<const LargeFileRecord*>& candidates) {
    auto hasOtherNames = [](const LargeFileRecord* record) { return record->device != 0 || record->inode != 0; };
    std::vector<const LargeFileRecord*> shared;
    std::copy_if(candidates.begin(), candidates.end(), std::back_inserter(shared), hasOtherNames);
    if (shared.empty()) return;
    std::sort(shared.begin(), shared.end(), [](const LargeFileRecord* a, const LargeFileRecord* b) {
        if (std::tie(a->device, a->inode) != std::tie(b->device, b->inode)) return std::tie(a->device, a->inode) < std::tie(b->device, b->inode);
        return precedesInTree(a->path, b->path);
    });
    std::unordered_set<const LargeFileRecord*> dropped;
    for (std::size_t i = 1; i < shared.size(); ++i)
        if (shared[i]->device == shared[i - 1]->device && shared[i]->inode == shared[i - 1]->inode) dropped.insert(shared[i]);
    std::erase_if(candidates, [&](const LargeFileRecord* record) { return dropped.contains(record); });
}
