#pragma once

#include "Services/FileIntelligenceService.h"
#include "Services/HashMeter.h"
#include "Services/Sha256.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

// Files of one length whose samples agree, compared byte for byte. Their content is cut into ranges
// that any thread may compare, in any order: a file unlike every other file in one range leaves at
// once and the other ranges skip it; files equal in every range have equal content. Behind the
// comparison, one thread at a time hashes the ranges compared so far, once per content still
// shared, through one of its files. So the groups and their digests are what hashing every file
// would give, without reading to the end the files that cannot match, and the hashing, which
// cannot be split, starts long before the last range is compared.
// A file that cannot be read, or opened for want of descriptors, is unlike nothing: the comparison
// then gives up, and its files are to be hashed one by one instead.
class SameSizeComparison {
public:
    using IndexedFile = FileIntelligenceService::IndexedFile;
    using EqualFiles = FileIntelligenceService::EqualFiles;

    // Each range holds every file open at once: at most this many, and a search's share of the open
    // descriptors may allow fewer. Larger sets of one length are hashed file by file.
    static constexpr std::size_t mostComparedFiles = 32;
    // Large enough that opening the files again per range costs nothing, small enough that a few
    // large files keep every worker busy.
    static constexpr std::int64_t defaultRangeBytes = 8 * 1024 * 1024;

    SameSizeComparison(std::vector<const IndexedFile*> sameSize, HashMeter& meter, std::int64_t rangeBytes = defaultRangeBytes);
    SameSizeComparison(const SameSizeComparison&) = delete;
    SameSizeComparison& operator=(const SameSizeComparison&) = delete;

    std::size_t rangeCount() const { return ranges_; }
    // Compares the files over one range and credits each file's bytes in it to the meter, read or
    // not; then hashes what has been compared unless another thread is at it. Ranges may run on
    // several threads at once. When this call completes the comparison: the sets of two or more
    // equal files still as indexed, each with the SHA-256 of its content, or none when it gave up.
    // Throws Cancelled when the meter is cancelled; the comparison then never completes.
    std::optional<std::vector<EqualFiles>> compare(std::size_t range);
    // A file could not be read: the result is empty and says nothing of the files.
    bool gaveUp() const { return gaveUp_.load(std::memory_order_relaxed); }
    const std::vector<const IndexedFile*>& files() const { return files_; }

private:
    static constexpr std::uint32_t unlikeAll = UINT32_MAX;

    // Files equal over the ranges hashed so far, with the digest of those ranges; no digest once
    // a read for it failed, and the content is then hashed whole at the end.
    struct Content {
        std::vector<std::uint32_t> files;
        std::optional<Sha256> hash;
        std::vector<std::uint32_t> hashedFrom;
    };

    void compareRange(std::size_t range);
    std::optional<std::vector<EqualFiles>> hashComparedRanges();
    void hashRange(std::size_t range);
    std::vector<EqualFiles> finish();
    // Whether the file is as indexed, checked without a descriptor; gives up when that cannot be told.
    bool stillAsIndexed(std::uint32_t file);
    void giveUp() { gaveUp_.store(true, std::memory_order_relaxed); }
    std::int64_t rangeStart(std::size_t range) const { return std::int64_t(range) * rangeBytes_; }
    std::int64_t rangeEnd(std::size_t range) const { return std::min(size_, rangeStart(range) + rangeBytes_); }

    std::vector<const IndexedFile*> files_;
    std::int64_t size_;
    HashMeter& meter_;
    std::int64_t rangeBytes_;
    std::size_t ranges_;
    std::atomic<bool> gaveUp_ = false;
    // Per file: it has left, being unlike every other file, unreadable or changed.
    std::unique_ptr<std::atomic<bool>[]> left_;
    // Per range, per file: the first file of the equal part it ended the range in, or `unlikeAll`.
    // Each range writes only its own row, then marks itself compared.
    std::vector<std::uint32_t> labels_;
    std::unique_ptr<std::atomic<bool>[]> compared_;
    // Calls that asked for hashing since the hashing thread last looked: the thread that raises it
    // from 0 hashes, and goes on while others keep asking.
    std::atomic<std::size_t> hashRequests_ = 0;
    // The hashing thread's own: the ranges hashed so far and the contents still shared.
    std::size_t hashedRanges_ = 0;
    std::vector<Content> contents_;
};
