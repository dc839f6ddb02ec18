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
// once and the other ranges skip it; files equal in every range have equal content. Each distinct
// content is then hashed once, through one of its files, so the groups and their digests are what
// hashing every file would give without reading to the end the files that cannot match.
class SameSizeComparison {
public:
    using IndexedFile = FileIntelligenceService::IndexedFile;
    // Files of equal content with the SHA-256 of that content.
    using EqualFiles = std::pair<Sha256::Digest, std::vector<const IndexedFile*>>;

    // More files of one length than this are hashed one after another, to bound open descriptors.
    static constexpr std::size_t mostComparedFiles = 32;
    // Large enough that opening the files again per range costs nothing, small enough that a few
    // large files keep every worker busy.
    static constexpr std::int64_t defaultRangeBytes = 32 * 1024 * 1024;

    SameSizeComparison(std::vector<const IndexedFile*> sameSize, HashMeter& meter, std::int64_t rangeBytes = defaultRangeBytes);
    SameSizeComparison(const SameSizeComparison&) = delete;
    SameSizeComparison& operator=(const SameSizeComparison&) = delete;

    std::size_t rangeCount() const { return ranges_; }
    // Compares the files over one range and credits each file's bytes in it to the meter, read or
    // not; true when this was the last range to finish. Ranges may run on several threads at once.
    // Throws Cancelled when the meter is cancelled; the comparison then never finishes.
    bool compare(std::size_t range);
    // Once every range is compared: the sets of two or more equal files still as indexed, each with
    // the SHA-256 of its content. Throws Cancelled.
    std::vector<EqualFiles> equalFiles();

private:
    static constexpr std::uint32_t unlikeAll = UINT32_MAX;

    void hashEachFile();
    std::vector<std::vector<std::uint32_t>> sameInEveryRange() const;
    // The whole content's digest; none when the file cannot be read or changed while being read.
    // With `creditReads` its bytes count as progress, the unread ones included.
    std::optional<Sha256::Digest> contentDigest(const IndexedFile& file, bool creditReads);

    std::vector<const IndexedFile*> files_;
    std::int64_t size_;
    HashMeter& meter_;
    std::int64_t rangeBytes_;
    bool oneByOne_;
    std::size_t ranges_;
    // Per file: it has left, being unlike every other file, unreadable or changed.
    std::unique_ptr<std::atomic<bool>[]> left_;
    // Per range, per file: the first file of the equal part it ended the range in, or `unlikeAll`.
    // Each range writes only its own row.
    std::vector<std::uint32_t> labels_;
    std::vector<std::optional<Sha256::Digest>> digests_;  // one after another: each file's digest
    std::atomic<std::size_t> rangesLeft_;
};
