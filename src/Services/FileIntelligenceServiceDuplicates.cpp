// The duplicate finder of FileIntelligenceService: index by length, then sample hashes, then full
// hashes of the large files that still agree with another.
#include "Services/FileIntelligenceService.h"

#include "Foundation/SaturatingSum.h"
#include "Platform/DirectoryReader.h"
#include "Platform/StandardizedPath.h"
#include "Foundation/Cancelled.h"
#include "Services/FastTreeWalk.h"
#include "Platform/KindDescriptions.h"
#include "Services/ScanError.h"
#include "Services/WalkWorkers.h"

#include <openssl/evp.h>

#include <algorithm>
#include <atomic>
#include <fcntl.h>
#include <limits>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace {

using FileRecord = FileIntelligenceService::FileRecord;
constexpr std::int64_t smallestCompared = 1024;
constexpr std::chrono::milliseconds comparingInterval{120};

// Records of one length, in the order the walk's workers found them.
struct SizeClass {
    std::int64_t size;
    std::vector<FileRecord> records;
};

// Records sharing one digest, in the order they were handed in.
using DigestBuckets = std::vector<std::pair<std::string, std::vector<FileRecord>>>;

void addToBucket(DigestBuckets& buckets, std::unordered_map<std::string, std::size_t>& positions, const std::string& digest,
                 const FileRecord& record) {
    auto [it, inserted] = positions.try_emplace(digest, buckets.size());
    if (inserted) buckets.push_back({digest, {}});
    buckets[it->second].second.push_back(record);
}

// An open file that is closed on every path; only regular files, never through a final link.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const std::string& path) {
        // O_NONBLOCK: a name replaced by a pipe since it was indexed must not hang a worker.
        fd_ = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        struct stat status {};
        if (fd_ >= 0 && (::fstat(fd_, &status) != 0 || !S_ISREG(status.st_mode))) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~ReadOnlyFile() {
        if (fd_ >= 0) ::close(fd_);
    }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
    bool isOpen() const { return fd_ >= 0; }
    int descriptor() const { return fd_; }

private:
    int fd_ = -1;
};

class Sha256 {
public:
    Sha256() : context_(EVP_MD_CTX_new()) { EVP_DigestInit_ex(context_.get(), EVP_sha256(), nullptr); }
    void update(const unsigned char* bytes, std::size_t count) { EVP_DigestUpdate(context_.get(), bytes, count); }
    std::string finish() {
        std::array<unsigned char, 32> digest{};
        unsigned int length = 0;
        EVP_DigestFinal_ex(context_.get(), digest.data(), &length);
        return FileIntelligenceService::hex(digest);
    }

private:
    struct Free {
        void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
    };
    std::unique_ptr<EVP_MD_CTX, Free> context_;
};

// The groups confirmed so far and the kind texts of the call. `foundGroup` is called outside the lock.
class GroupCollector {
public:
    explicit GroupCollector(const FileIntelligenceService::FoundGroupCallback& foundGroup) : foundGroup_(foundGroup) {}

    void add(const std::vector<FileRecord>& records, const std::string& digest) {
        DuplicateGroup group;
        {
            std::lock_guard lock(lock_);
            for (const FileRecord& record : records) {
                std::filesystem::path location(record.path);
                group.files.push_back({Uuid::random(), location, record.size, record.modified, kinds_.kind(location)});
            }
            // Newest first; a copy without a date counts as the distant past.
            std::stable_sort(group.files.begin(), group.files.end(), [](const ScannedFile& a, const ScannedFile& b) {
                if (!b.modifiedAt) return bool(a.modifiedAt);
                return a.modifiedAt && *a.modifiedAt > *b.modifiedAt;
            });
            group.id = digest;
            group.fileSize = records.front().size;
            storage_.push_back(group);
        }
        if (foundGroup_) foundGroup_(group);
    }

    std::int64_t count() const {
        std::lock_guard lock(lock_);
        return std::int64_t(storage_.size());
    }

    std::vector<DuplicateGroup> groups() const {
        std::lock_guard lock(lock_);
        return storage_;
    }

private:
    mutable std::mutex lock_;
    std::vector<DuplicateGroup> storage_;
    KindDescriptions kinds_;
    const FileIntelligenceService::FoundGroupCallback& foundGroup_;
};

// The full-stage buckets still being hashed. The worker that finishes a bucket's last file gets the
// bucket's files split by full digest, in bucket order, so group order does not depend on timing.
class PendingGroups {
public:
    explicit PendingGroups(const std::vector<std::vector<FileRecord>>& buckets) {
        for (const auto& bucket : buckets) {
            remaining_.push_back(std::int64_t(bucket.size()));
            digests_.emplace_back(bucket.size());
        }
    }

    std::optional<DigestBuckets> complete(std::size_t group, std::size_t position, std::optional<std::string> digest,
                                          const std::vector<FileRecord>& bucket) {
        std::vector<std::optional<std::string>> digests;
        {
            std::lock_guard lock(lock_);
            digests_[group][position] = std::move(digest);
            if (--remaining_[group] > 0) return std::nullopt;
            digests.swap(digests_[group]);
        }
        DigestBuckets byDigest;
        std::unordered_map<std::string, std::size_t> positions;
        for (std::size_t i = 0; i < bucket.size(); ++i) {
            if (digests[i]) addToBucket(byDigest, positions, *digests[i], bucket[i]);
        }
        return byDigest;
    }

private:
    std::mutex lock_;
    std::vector<std::int64_t> remaining_;
    std::vector<std::vector<std::optional<std::string>>> digests_;
};

}  // namespace

std::string FileIntelligenceService::hex(const std::array<unsigned char, 32>& digest) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string text(64, '0');
    for (std::size_t i = 0; i < digest.size(); ++i) {
        text[2 * i] = digits[digest[i] >> 4];
        text[2 * i + 1] = digits[digest[i] & 0xf];
    }
    return text;
}

std::optional<std::string> FileIntelligenceService::sampleDigest(const std::string& path, std::int64_t size, HashMeter& meter) {
    ReadOnlyFile file(path);
    if (!file.isOpen()) return std::nullopt;
    meter.setPath(path);
    Sha256 hash;
    auto buffer = std::make_unique<unsigned char[]>(sampleChunk);
    std::array<std::pair<std::int64_t, std::int64_t>, 2> ranges{};  // offset, length
    std::size_t rangeCount = 1;
    if (size <= sampleLimit) {
        ranges[0] = {0, size};
    } else {
        ranges = {{{0, sampleChunk}, {size - sampleChunk, sampleChunk}}};
        rangeCount = 2;
    }
    for (std::size_t r = 0; r < rangeCount; ++r) {
        auto [offset, remaining] = ranges[r];
        while (remaining > 0) {
            ssize_t got = ::pread(file.descriptor(), buffer.get(), std::size_t(std::min(remaining, sampleChunk)), offset);
            if (got < 0) return std::nullopt;
            if (got == 0) break;  // shorter than when it was indexed
            hash.update(buffer.get(), std::size_t(got));
            meter.addBytes(got);
            offset += got;
            remaining -= got;
        }
    }
    return hash.finish();
}

std::optional<std::string> FileIntelligenceService::fullDigest(const std::string& path, HashMeter& meter) {
    ReadOnlyFile file(path);
    if (!file.isOpen()) return std::nullopt;
    meter.setPath(path);
    auto buffer = std::make_unique<unsigned char[]>(fullChunk);
    Sha256 hash;
    if (meter.isCancelled()) throw Cancelled();
    std::int64_t total = 0;
    while (true) {
        ssize_t got = ::read(file.descriptor(), buffer.get(), std::size_t(fullChunk));
        if (got < 0) return std::nullopt;
        if (got == 0) return hash.finish();
        hash.update(buffer.get(), std::size_t(got));
        total = saturatingSum(total, got);
        // The first 128 KiB were counted when the sample was read.
        if (total > sampleLimit) meter.addBytes(std::min<std::int64_t>(total - sampleLimit, got));
        if (meter.isCancelled()) throw Cancelled();
    }
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
    std::vector<DirectoryEntry> scratch;
    if (!DirectoryReader::read(rootPath, scratch)) throw ScanError::cannotOpen(folder);

    // Index: every eligible file by its exact length, one index per worker.
    using SizeIndex = std::unordered_map<std::int64_t, std::vector<FileRecord>>;
    auto indexes = FastTreeWalk::run<SizeIndex>(
        {rootPath}, includeHidden, &FileIntelligenceService::isPackageName,
        [&](const FastTreeWalk::Progress& walked) {
            if (progress) progress({DuplicateScanPhase::indexing, walked.path, walked.filesSeen, std::nullopt, walked.bytesSeen, std::nullopt, 0});
        },
        [] { return SizeIndex(); },
        [](SizeIndex& index, std::int64_t, const std::string& directory, const DirectoryEntry& entry) {
            if (entry.type != DirectoryEntry::Kind::file || entry.logicalSize < smallestCompared) return;
            index[entry.logicalSize].push_back({directory + "/" + entry.name, entry.logicalSize, entry.modified});
        },
        stop);

    SizeIndex merged;
    for (SizeIndex& index : indexes) {
        for (auto& [size, records] : index) {
            auto& into = merged[size];
            into.insert(into.end(), std::make_move_iterator(records.begin()), std::make_move_iterator(records.end()));
        }
    }
    indexes.clear();
    std::vector<SizeClass> classes;
    for (auto& [size, records] : merged) {
        if (records.size() >= 2) classes.push_back({size, std::move(records)});
    }
    merged.clear();
    auto classBytes = [](std::int64_t size, std::size_t count) { return saturatingProduct(size, std::int64_t(count)); };
    std::stable_sort(classes.begin(), classes.end(), [&](const SizeClass& a, const SizeClass& b) {
        return classBytes(a.size, a.records.size()) > classBytes(b.size, b.records.size());
    });
    std::int64_t totalFiles = 0;
    std::int64_t totalBytes = 0;
    for (const SizeClass& sizeClass : classes) {
        totalFiles += std::int64_t(sizeClass.records.size());
        totalBytes = saturatingSum(totalBytes, classBytes(sizeClass.size, sizeClass.records.size()));
    }

    HashMeter meter;
    GroupCollector collector(foundGroup);
    auto report = [&] {
        if (!progress) return;
        HashMeter::Reading reading = meter.read();
        progress({DuplicateScanPhase::comparing, reading.path.value_or(rootPath), std::min(reading.files, totalFiles), totalFiles,
                  std::min(reading.bytes, totalBytes), totalBytes, collector.count()});
    };
    report();

    // Sample stage: every candidate once, cheaply.
    std::vector<const FileRecord*> samples;
    samples.reserve(std::size_t(totalFiles));
    for (const SizeClass& sizeClass : classes) {
        for (const FileRecord& record : sizeClass.records) samples.push_back(&record);
    }
    // Each slot is written by one worker only and read after the pool has ended.
    std::vector<std::optional<std::string>> sampleDigests(samples.size());
    runPool(
        samples.size(), meter, report,
        [&](std::size_t i) {
            sampleDigests[i] = sampleDigest(samples[i]->path, samples[i]->size, meter);
            meter.addFile();
        },
        stop);

    // Small files are settled by their samples; large ones that still agree wait for the full stage.
    std::vector<std::vector<FileRecord>> fullBuckets;
    std::size_t slot = 0;
    for (const SizeClass& sizeClass : classes) {
        const std::int64_t unread = sizeClass.size - std::min(sizeClass.size, sampleLimit);
        DigestBuckets buckets;
        std::unordered_map<std::string, std::size_t> positions;
        std::int64_t unreadable = 0;
        for (const FileRecord& record : sizeClass.records) {
            const auto& digest = sampleDigests[slot++];
            if (digest) {
                addToBucket(buckets, positions, *digest, record);
            } else {
                ++unreadable;
            }
        }
        for (auto& [digest, records] : buckets) {
            if (records.size() < 2) {
                meter.addBytes(saturatingProduct(unread, std::int64_t(records.size())));
            } else if (sizeClass.size > sampleLimit) {
                fullBuckets.push_back(std::move(records));
            } else {
                collector.add(records, digest);
            }
        }
        meter.addBytes(saturatingProduct(unread, unreadable));
    }
    report();

    // Full stage: the largest buckets first, so the biggest savings show up early.
    std::stable_sort(fullBuckets.begin(), fullBuckets.end(), [&](const auto& a, const auto& b) {
        return classBytes(a.front().size, a.size()) > classBytes(b.front().size, b.size());
    });
    std::vector<std::pair<std::size_t, std::size_t>> pairs;  // bucket, position in it
    for (std::size_t b = 0; b < fullBuckets.size(); ++b) {
        for (std::size_t p = 0; p < fullBuckets[b].size(); ++p) pairs.push_back({b, p});
    }
    PendingGroups pending(fullBuckets);
    runPool(
        pairs.size(), meter, report,
        [&](std::size_t i) {
            auto [bucket, position] = pairs[i];
            std::optional<std::string> digest;
            try {
                digest = fullDigest(fullBuckets[bucket][position].path, meter);
            } catch (const Cancelled&) {
            }
            if (auto finished = pending.complete(bucket, position, std::move(digest), fullBuckets[bucket])) {
                for (const auto& [full, records] : *finished) {
                    if (records.size() >= 2) collector.add(records, full);
                }
            }
        },
        stop);

    std::vector<DuplicateGroup> groups = collector.groups();
    std::stable_sort(groups.begin(), groups.end(), [](const DuplicateGroup& a, const DuplicateGroup& b) { return a.wastedBytes() > b.wastedBytes(); });
    return groups;
}
