// The duplicate finder of FileIntelligenceService: index by length, then sample hashes, then the
// large files that still agree with another compared side by side.
#include "Services/FileIntelligenceService.h"

#include "Foundation/Cancelled.h"
#include "Foundation/FileDescriptor.h"
#include "Foundation/SaturatingSum.h"
#include "Platform/DirectoryReader.h"
#include "Platform/KindDescriptions.h"
#include "Platform/StandardizedPath.h"
#include "Services/FastTreeWalk.h"
#include "Services/PathArena.h"
#include "Services/ScanError.h"
#include "Services/WalkWorkers.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <fcntl.h>
#include <span>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using IndexedFile = FileIntelligenceService::IndexedFile;
using Digest = Sha256::Digest;
constexpr std::int64_t sampleLimit = FileIntelligenceService::sampleLimit;
constexpr std::int64_t sampleChunk = FileIntelligenceService::sampleChunk;
constexpr std::int64_t smallestCompared = 1024;
constexpr std::chrono::milliseconds comparingInterval{120};
// Files of one length are read side by side with this much buffer among them per thread: reads of
// 64 to 256 KiB keep the page cache's copy fast, and sixteen threads stay within a few MiB.
constexpr std::int64_t inStepBudget = 2 * 1024 * 1024;
constexpr std::int64_t inStepLargestChunk = 256 * 1024;
// More files of one length than this are hashed one after another, to bound open descriptors.
constexpr std::size_t inStepMostFiles = 32;

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

// This thread's read buffer, left uninitialised and kept for the thread's next file.
unsigned char* scratch(std::size_t bytes) {
    thread_local std::unique_ptr<unsigned char[]> buffer;
    thread_local std::size_t capacity = 0;
    if (capacity < bytes) {
        buffer.reset();
        buffer = std::make_unique_for_overwrite<unsigned char[]>(bytes);
        capacity = bytes;
    }
    return buffer.get();
}

// Opens the file as indexed: a regular file, never through a final link, of the indexed length
// and date; else a closed descriptor.
FileDescriptor openUnchanged(const IndexedFile& file) {
    // O_NONBLOCK: a name replaced by a pipe since it was indexed must not hang a worker.
    FileDescriptor descriptor(::open(file.path, O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
    struct stat status {};
    if (!descriptor.isOpen() || ::fstat(descriptor.get(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size != file.size ||
        (file.modified && Instant::fromTimespec(status.st_mtim.tv_sec, status.st_mtim.tv_nsec) != *file.modified))
        return {};
    return descriptor;
}

// Reads `length` bytes at `offset`; false when the file ends early or cannot be read.
bool readExactly(int descriptor, unsigned char* into, std::int64_t length, std::int64_t offset) {
    while (length > 0) {
        ssize_t got = ::pread(descriptor, into, std::size_t(length), offset);
        if (got <= 0) return false;
        into += got;
        offset += got;
        length -= got;
    }
    return true;
}

// Progress for the bytes [from, to) of a file: the first 128 KiB were counted with its sample.
void creditBeyondSample(HashMeter& meter, std::int64_t from, std::int64_t to) { meter.addBytes(to - std::max(from, sampleLimit)); }

// The whole content's digest, read in large chunks; none when the file changed or cannot be read.
std::optional<Digest> fullDigest(const IndexedFile& file, HashMeter& meter) {
    FileDescriptor descriptor = openUnchanged(file);
    if (!descriptor.isOpen()) return std::nullopt;
    meter.setPath(file.path);
    unsigned char* buffer = scratch(std::size_t(inStepLargestChunk));
    Sha256 hash;
    for (std::int64_t offset = 0; offset < file.size; offset += inStepLargestChunk) {
        if (meter.isCancelled()) throw Cancelled();
        const std::int64_t length = std::min(inStepLargestChunk, file.size - offset);
        if (!readExactly(descriptor.get(), buffer, length, offset)) return std::nullopt;
        hash.update(buffer, std::size_t(length));
        creditBeyondSample(meter, offset, offset + length);
    }
    return hash.finish();
}

bool digestLess(const Digest& a, const Digest& b) { return std::memcmp(a.data(), b.data(), a.size()) < 0; }

// Files split by digest: runs of equal digests, each in the order the files were given.
template <typename Item, typename DigestOf, typename Run>
void forEachDigestRun(std::vector<Item>& items, DigestOf digestOf, Run run) {
    std::stable_sort(items.begin(), items.end(), [&](const Item& a, const Item& b) { return digestLess(digestOf(a), digestOf(b)); });
    for (std::size_t first = 0; first < items.size();) {
        std::size_t end = first + 1;
        while (end < items.size() && digestOf(items[end]) == digestOf(items[first])) ++end;
        run(std::span<Item>(items.data() + first, end - first));
        first = end;
    }
}

// The groups confirmed so far and the kind texts of the call. `foundGroup` is called outside the lock.
class GroupCollector {
public:
    explicit GroupCollector(const FileIntelligenceService::FoundGroupCallback& foundGroup) : foundGroup_(foundGroup) {}

    void add(std::span<const IndexedFile* const> files, const Digest& digest) {
        DuplicateGroup group;
        group.id = FileIntelligenceService::hex(digest);
        group.fileSize = files.front()->size;
        group.files.reserve(files.size());
        {
            std::lock_guard lock(lock_);
            for (const IndexedFile* file : files) {
                std::filesystem::path location(file->path);
                QString kind = kinds_.kind(location);
                group.files.push_back({Uuid::random(), std::move(location), file->size, file->modified, std::move(kind)});
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
    unsigned char* buffer = scratch(std::size_t(sampleLimit));
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

std::vector<FileIntelligenceService::EqualFiles> FileIntelligenceService::equalFiles(const std::vector<const IndexedFile*>& sameSize,
                                                                                     HashMeter& meter) {
    std::vector<EqualFiles> equal;
    if (sameSize.empty()) return equal;
    const std::int64_t size = sameSize.front()->size;

    if (sameSize.size() > inStepMostFiles) {
        std::vector<std::pair<Digest, const IndexedFile*>> digests;
        for (const IndexedFile* file : sameSize) {
            if (auto digest = fullDigest(*file, meter)) {
                digests.push_back({*digest, file});
            } else {
                creditBeyondSample(meter, 0, size);  // the part never read
            }
        }
        forEachDigestRun(digests, [](const auto& item) -> const Digest& { return item.first; }, [&](auto run) {
            if (run.size() < 2) return;
            EqualFiles files{run.front().first, {}};
            for (const auto& item : run) files.second.push_back(item.second);
            equal.push_back(std::move(files));
        });
        return equal;
    }

    // Side by side: every open file has its own slice of the buffer; files still equal up to the
    // current offset form one content, hashed once through its first file's bytes.
    struct Content {
        Sha256 hash;
        std::vector<std::size_t> members;
    };
    const std::int64_t chunk = std::clamp(inStepBudget / std::int64_t(sameSize.size()), sampleChunk, inStepLargestChunk);
    unsigned char* buffer = scratch(std::size_t(chunk) * sameSize.size());
    auto slice = [&](std::size_t member) { return buffer + std::size_t(chunk) * member; };
    std::vector<FileDescriptor> descriptors;
    Content all;
    for (std::size_t i = 0; i < sameSize.size(); ++i) {
        descriptors.push_back(openUnchanged(*sameSize[i]));
        if (descriptors.back().isOpen()) {
            all.members.push_back(i);
        } else {
            creditBeyondSample(meter, 0, size);
        }
    }
    auto leave = [&](std::size_t member, std::int64_t from) {
        descriptors[member].reset();
        creditBeyondSample(meter, from, size);
    };
    std::vector<Content> contents;
    if (all.members.size() >= 2) {
        meter.setPath(sameSize[all.members.front()]->path);
        contents.push_back(std::move(all));
    } else if (!all.members.empty()) {
        leave(all.members.front(), 0);
    }

    for (std::int64_t offset = 0; offset < size && !contents.empty(); offset += chunk) {
        if (meter.isCancelled()) throw Cancelled();
        const std::int64_t length = std::min(chunk, size - offset);
        std::vector<Content> next;
        for (Content& content : contents) {
            // Split the content's files by this chunk: each part keeps the files equal to its first.
            std::vector<std::vector<std::size_t>> parts;
            for (std::size_t member : content.members) {
                if (!readExactly(descriptors[member].get(), slice(member), length, offset)) {
                    leave(member, offset);  // changed or unreadable while being compared
                    continue;
                }
                creditBeyondSample(meter, offset, offset + length);
                auto part = std::find_if(parts.begin(), parts.end(), [&](const std::vector<std::size_t>& candidate) {
                    return std::memcmp(slice(candidate.front()), slice(member), std::size_t(length)) == 0;
                });
                if (part == parts.end()) {
                    parts.push_back({member});
                } else {
                    part->push_back(member);
                }
            }
            std::erase_if(parts, [&](const std::vector<std::size_t>& part) {
                if (part.size() >= 2) return false;
                leave(part.front(), offset + length);  // differs from every other file
                return true;
            });
            for (std::size_t p = 0; p < parts.size(); ++p) {
                // The last part takes over the content's hash; the others continue from a copy.
                Content split{p + 1 == parts.size() ? std::move(content.hash) : Sha256(content.hash), std::move(parts[p])};
                split.hash.update(slice(split.members.front()), std::size_t(length));
                next.push_back(std::move(split));
            }
        }
        contents = std::move(next);
    }
    for (Content& content : contents) {
        EqualFiles files{content.hash.finish(), {}};
        for (std::size_t member : content.members) files.second.push_back(sameSize[member]);
        equal.push_back(std::move(files));
    }
    return equal;
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

std::vector<DuplicateGroup> FileIntelligenceService::duplicateGroups(const std::filesystem::path& folder, bool includeHidden,
                                                                     const ProgressCallback& progress, const FoundGroupCallback& foundGroup,
                                                                     std::stop_token stop) {
    const std::string rootPath = standardizedPath(folder).native();
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
    runPool(
        fullBuckets.size(), meter, report,
        [&](std::size_t i) {
            try {
                for (const EqualFiles& files : equalFiles(fullBuckets[i], meter)) collector.add(files.second, files.first);
            } catch (const Cancelled&) {
                // The pool ends with Cancelled once its running buckets have stopped.
            }
        },
        stop);

    std::vector<DuplicateGroup> groups = collector.take();
    std::stable_sort(groups.begin(), groups.end(), [](const DuplicateGroup& a, const DuplicateGroup& b) { return a.wastedBytes() > b.wastedBytes(); });
    return groups;
}
