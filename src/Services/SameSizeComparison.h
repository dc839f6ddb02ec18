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
class SameSizeComparison {
public:
    using IndexedFile = FileIntelligenceService::IndexedFile;
    // Files of equal content with the SHA-256 of that content.
    using EqualFiles = std::pair<Sha256::Digest, std::vector<const IndexedFile*>>;

    // More files of one length than this are hashed one after another, to bound open descriptors.
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
    // equal files still as indexed, each with the SHA-256 of its content. Throws Cancelled when the
    // meter is cancelled; the comparison then never completes.
    std::optional<std::vector<EqualFiles>> compare(std::size_t range);

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
    std::vector<EqualFiles> hashEachFile();
    std::vector<EqualFiles> finish();
    // The whole content's digest; none when the file cannot be read or changed while being read.
    // With `creditReads` its bytes count as progress, the unread ones included.
    std::optional<Sha256::Digest> contentDigest(const IndexedFile& file, bool creditReads);
    bool stillAsIndexed(std::uint32_t file) const;
    std::int64_t rangeStart(std::size_t range) const { return std::int64_t(range) * rangeBytes_; }
    std::int64_t rangeEnd(std::size_t range) const { return std::min(size_, rangeStart(range) + rangeBytes_); }

    std::vector<const IndexedFile*> files_;
    std::int64_t size_;
    HashMeter& meter_;
    std::int64_t rangeBytes_;
    bool oneByOne_;
    std::size_t ranges_;
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
