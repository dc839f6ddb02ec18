// The duplicate finder of FileIntelligenceService: index by length, then sample hashes, then the
// large files that still agree with another compared side by side.
#include "Services/FileIntelligenceService.h"

#include "Foundation/Cancelled.h"
#include "Foundation/FileDescriptor.h"
#include "Foundation/SaturatingSum.h"
#include "Platform/DirectoryReader.h"
#include "Platform/KindDescriptions.h"
#include "Platform/RealPath.h"
#include "Platform/StandardizedPath.h"
#include "Services/DigestRuns.h"
#include "Services/FastTreeWalk.h"
#include "Services/IndexedFileReads.h"
#include "Services/PathArena.h"
#include "Services/SameSizeComparison.h"
#include "Services/ScanError.h"
#include "Services/WalkWorkers.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <set>
#include <span>
#include <sys/stat.h>
#include <unistd.h>

using namespace IndexedFileReads;

namespace {

using IndexedFile = FileIntelligenceService::IndexedFile;
using Digest = Sha256::Digest;
constexpr std::int64_t sampleLimit = FileIntelligenceService::sampleLimit;
constexpr std::int64_t sampleChunk = FileIntelligenceService::sampleChunk;
constexpr std::int64_t smallestCompared = 1024;
constexpr std::chrono::milliseconds comparingInterval{120};

// What one walk worker indexed: every eligible file and the text of its path.
struct WorkerIndex {
    PathArena paths;
    std::vector<IndexedFile> files;
};

// Records of one length, a run of the candidate list.
struct SizeClass {
    std::int64_t size;
    std::size_t first;
    std::size_t count;
};

// The groups confirmed so far and the kind texts of the call. `foundGroup` is called outside the lock.
class GroupCollector {
public:
    explicit GroupCollector(const FileIntelligenceService::FoundGroupCallback& foundGroup) : foundGroup_(foundGroup) {}

    void add(std::span<const IndexedFile* const> files, const Digest& digest) {
        DuplicateGroup group;
        group.id = FileIntelligenceService::hex(digest);
        group.fileSize = files.front()->size;
        // Each copy with the identity a move checks against; one changed since it was compared
        // leaves the group. A path too long to name in one call keeps no identity (nothing can move
        // it by that path either).
        std::vector<std::pair<const IndexedFile*, std::optional<FileIdentity>>> unchanged;
        for (const IndexedFile* file : files) {
            struct stat status {};
            if (::lstat(file->path, &status) == 0) {
                if (isUnchanged(status, *file)) unchanged.emplace_back(file, FileIdentity::of(status));
            } else if (errno == ENAMETOOLONG) {
                unchanged.emplace_back(file, std::nullopt);
            }
        }
        if (unchanged.size() < 2) return;
        group.files.reserve(unchanged.size());
        {
            std::lock_guard lock(lock_);
            for (const auto& [file, identity] : unchanged) {
                std::filesystem::path location(file->path);
                QString kind = kinds_.kind(location);
                group.files.push_back({Uuid::random(), std::move(location), file->size, file->modified, std::move(kind), identity});
            }
        }
        // Newest first; a copy without a date counts as the distant past.
        std::stable_sort(group.files.begin(), group.files.end(), [](const ScannedFile& a, const ScannedFile& b) {
            if (!b.modifiedAt) return bool(a.modifiedAt);
            return a.modifiedAt && *a.modifiedAt > *b.modifiedAt;
        });
        if (foundGroup_) foundGroup_(group);
        std::lock_guard lock(lock_);
        storage_.push_back(std::move(group));
    }

    std::int64_t count() const {
        std::lock_guard lock(lock_);
        return std::int64_t(storage_.size());
    }

    std::vector<DuplicateGroup> take() {
        std::lock_guard lock(lock_);
        return std::move(storage_);
    }

private:
    mutable std::mutex lock_;
    std::vector<DuplicateGroup> storage_;
    KindDescriptions kinds_;
    const FileIntelligenceService::FoundGroupCallback& foundGroup_;
};

}  // namespace

std::string FileIntelligenceService::hex(const Sha256::Digest& digest) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string text(64, '0');
    for (std::size_t i = 0; i < digest.size(); ++i) {
        text[2 * i] = digits[digest[i] >> 4];
        text[2 * i + 1] = digits[digest[i] & 0xf];
    }
    return text;
}

std::optional<Sha256::Digest> FileIntelligenceService::sampleDigest(const IndexedFile& file, HashMeter& meter) {
    FileDescriptor descriptor = openUnchanged(file);
    if (!descriptor.isOpen()) return std::nullopt;
    meter.setPath(file.path);
    thread_local Sha256 hash;
    hash.restart();
    unsigned char* buffer = threadBuffer(std::size_t(sampleLimit));
    if (file.size <= sampleLimit) {
        if (!readExactly(descriptor.get(), buffer, file.size, 0)) return std::nullopt;
        hash.update(buffer, std::size_t(file.size));
    } else {
        if (!readExactly(descriptor.get(), buffer, sampleChunk, 0) ||
            !readExactly(descriptor.get(), buffer + sampleChunk, sampleChunk, file.size - sampleChunk))
            return std::nullopt;
        hash.update(buffer, std::size_t(sampleLimit));
    }
    meter.addBytes(std::min(file.size, sampleLimit));
    return hash.finish();
}

int FileIntelligenceService::poolWorkerCount(int activeProcessors, std::size_t count) {
    std::size_t workers = activeProcessors > 1 ? std::size_t(activeProcessors) * 2 : 4;
    return int(std::min(workers, count));
}

void FileIntelligenceService::runPool(std::size_t count, HashMeter& meter, const std::function<void()>& report,
                                      const std::function<void(std::size_t)>& body, std::stop_token stop) {
    if (count == 0) return;
    std::atomic<std::size_t> cursor{0};
    auto worker = [&] {
        while (!meter.isCancelled()) {
            std::size_t index = cursor.fetch_add(1);
            if (index >= count) return;
            body(index);
        }
    };
    WalkWorkers::Run pool;
    pool.workerCount = poolWorkerCount(WalkWorkers::activeProcessors(), count);
    pool.worker = worker;
    pool.cancel = [&] { meter.cancel(); };
    pool.pollInterval = comparingInterval;
    pool.tick = report;
    report();
    WalkWorkers::run(pool, stop);
    report();
}

namespace {

// Names of one file count once: a bind mount shows one file under two paths, and hard links are
// names of one inode. Trashing such a "copy" frees nothing, or, for a bind mount, removes the only
// one. The first name by path stays.
void keepOneViewOfEachFile(std::vector<FileIntelligenceService::IndexedFile>& sortedBySize) {
    std::vector<char> drop(sortedBySize.size(), 0);
    for (std::size_t first = 0; first < sortedBySize.size();) {
        std::size_t end = first + 1;
        while (end < sortedBySize.size() && sortedBySize[end].size == sortedBySize[first].size) ++end;
        std::set<std::pair<dev_t, ino_t>> seen;
        for (std::size_t i = first; end - first >= 2 && i < end; ++i) {
            struct stat info {};
            drop[i] = ::lstat(sortedBySize[i].path, &info) == 0 && !seen.emplace(info.st_dev, info.st_ino).second;
        }
        first = end;
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < sortedBySize.size(); ++i)
        if (!drop[i]) sortedBySize[kept++] = sortedBySize[i];
    sortedBySize.resize(kept);
}

}  // namespace

std::vector<DuplicateGroup> FileIntelligenceService::duplicateGroups(const std::filesystem::path& folder, bool includeHidden,
                                                                     const ProgressCallback& progress, const FoundGroupCallback& foundGroup,
                                                                     std::stop_token stop) {
    const std::filesystem::path standardized = standardizedPath(folder);
    const std::string rootPath = realPath(standardized).value_or(standardized).native();  // links inside are not followed
    {
        std::vector<DirectoryEntry> scratchEntries;
        if (!DirectoryReader::read(rootPath, scratchEntries)) throw ScanError::cannotOpen(folder);
    }

    // Index: every eligible file, one list per worker, its path text packed in the worker's arena.
    auto indexes = FastTreeWalk::run<WorkerIndex>(
        {rootPath}, includeHidden, &FileIntelligenceService::isPackageName,
        [&](const FastTreeWalk::Progress& walked) {
            if (progress) progress({DuplicateScanPhase::indexing, walked.path, walked.filesSeen, std::nullopt, walked.bytesSeen, std::nullopt, 0});
        },
        [] { return WorkerIndex(); },
        [](WorkerIndex& index, std::int64_t, const std::string& directory, const DirectoryEntry& entry) {
            if (entry.type != DirectoryEntry::Kind::file || entry.logicalSize < smallestCompared) return;
            index.files.push_back({index.paths.add(directory, entry.name), entry.logicalSize, entry.modified});
        },
        stop);

    // Merge, then order by length (and path, so equal lengths come out the same on every run).
    std::vector<PathArena> arenas;
    std::vector<IndexedFile> indexed;
    {
        std::size_t total = 0;
        for (const WorkerIndex& index : indexes) total += index.files.size();
        indexed.reserve(total);
        for (WorkerIndex& index : indexes) {
            indexed.insert(indexed.end(), index.files.begin(), index.files.end());
            index.files = {};
            arenas.push_back(std::move(index.paths));
        }
        indexes.clear();
    }
    std::sort(indexed.begin(), indexed.end(), [](const IndexedFile& a, const IndexedFile& b) {
        return a.size != b.size ? a.size < b.size : std::strcmp(a.path, b.path) < 0;
    });
    keepOneViewOfEachFile(indexed);

    // Candidates: the lengths shared by two or more files, the most bytes first.
    std::vector<SizeClass> classes;
    for (std::size_t first = 0; first < indexed.size();) {
        std::size_t end = first + 1;
        while (end < indexed.size() && indexed[end].size == indexed[first].size) ++end;
        if (end - first >= 2) classes.push_back({indexed[first].size, first, end - first});
        first = end;
    }
    auto classBytes = [](std::int64_t size, std::size_t count) { return saturatingProduct(size, std::int64_t(count)); };
    std::stable_sort(classes.begin(), classes.end(),
                     [&](const SizeClass& a, const SizeClass& b) { return classBytes(a.size, a.count) > classBytes(b.size, b.count); });
    // The candidates in class order are items of the pools; item i lies in the class whose first
    // item is the last at or below i.
    std::vector<std::size_t> firstItems;
    std::int64_t totalBytes = 0;
    std::size_t items = 0;
    for (const SizeClass& sizeClass : classes) {
        firstItems.push_back(items);
        items += sizeClass.count;
        totalBytes = saturatingSum(totalBytes, classBytes(sizeClass.size, sizeClass.count));
    }
    auto candidate = [&](std::size_t item) -> const IndexedFile& {
        const auto k = std::size_t(std::upper_bound(firstItems.begin(), firstItems.end(), item) - firstItems.begin()) - 1;
        return indexed[classes[k].first + (item - firstItems[k])];
    };
    const std::int64_t totalFiles = std::int64_t(items);

    HashMeter meter;
    GroupCollector collector(foundGroup);
    auto report = [&] {
        if (!progress) return;
        HashMeter::Reading reading = meter.read();
        progress({DuplicateScanPhase::comparing, reading.path.value_or(rootPath), std::min(reading.files, totalFiles), totalFiles,
                  std::min(reading.bytes, totalBytes), totalBytes, collector.count()});
    };
    report();

    // Sample stage: every candidate once, cheaply. Each slot is written by one worker only and read
    // after the pool has ended.
    std::vector<std::optional<Digest>> samples(items);
    runPool(
        items, meter, report,
        [&](std::size_t i) {
            samples[i] = sampleDigest(candidate(i), meter);
            meter.addFile();
        },
        stop);

    // Small files are settled by their samples; large ones that still agree wait for the full stage.
    std::vector<std::vector<const IndexedFile*>> fullBuckets;
    for (std::size_t k = 0; k < classes.size(); ++k) {
        const SizeClass& sizeClass = classes[k];
        std::vector<std::size_t> read;
        for (std::size_t i = firstItems[k]; i < firstItems[k] + sizeClass.count; ++i) {
            if (samples[i]) {
                read.push_back(i);
            } else {
                creditBeyondSample(meter, 0, sizeClass.size);
            }
        }
        forEachDigestRun(read, [&](std::size_t i) -> const Digest& { return *samples[i]; }, [&](std::span<std::size_t> run) {
            if (run.size() < 2) {
                creditBeyondSample(meter, 0, sizeClass.size);
                return;
            }
            std::vector<const IndexedFile*> files;
            for (std::size_t i : run) files.push_back(&candidate(i));
            if (sizeClass.size > sampleLimit) {
                fullBuckets.push_back(std::move(files));
            } else {
                collector.add(files, *samples[run.front()]);
            }
        });
    }
    samples = {};
    report();

    // Full stage: the largest buckets first, so the biggest savings show up early.
    std::stable_sort(fullBuckets.begin(), fullBuckets.end(), [&](const auto& a, const auto& b) {
        return classBytes(a.front()->size, a.size()) > classBytes(b.front()->size, b.size());
    });
    // Every range of every bucket is an item, so a few large files keep all workers busy. Items go
    // by range, then bucket: each bucket's first range comes early, and with it the hashing that
    // follows its comparison.
    std::deque<SameSizeComparison> comparisons;
    std::vector<std::pair<std::size_t, std::size_t>> ranges;  // bucket, range
    for (std::vector<const IndexedFile*>& bucket : fullBuckets) {
        comparisons.emplace_back(std::move(bucket), meter);
        for (std::size_t range = 0; range < comparisons.back().rangeCount(); ++range) ranges.emplace_back(comparisons.size() - 1, range);
    }
    fullBuckets = {};
    std::stable_sort(ranges.begin(), ranges.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    runPool(
        ranges.size(), meter, report,
        [&](std::size_t item) {
            const auto [k, range] = ranges[item];
            try {
                if (auto equal = comparisons[k].compare(range))
                    for (const auto& [digest, files] : *equal) collector.add(files, digest);
            } catch (const Cancelled&) {
                // The pool ends with Cancelled once its running ranges have stopped.
            }
        },
        stop);

    std::vector<DuplicateGroup> groups = collector.take();
    std::stable_sort(groups.begin(), groups.end(), [](const DuplicateGroup& a, const DuplicateGroup& b) { return a.wastedBytes() > b.wastedBytes(); });
    return groups;
}
