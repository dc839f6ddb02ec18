#include "Services/SameSizeComparison.h"

#include "Foundation/Cancelled.h"
#include "Services/DigestRuns.h"
#include "Services/IndexedFileReads.h"

#include <algorithm>
#include <cstring>

using namespace IndexedFileReads;

SameSizeComparison::SameSizeComparison(std::vector<const IndexedFile*> sameSize, HashMeter& meter, std::int64_t rangeBytes)
    : files_(std::move(sameSize)),
      size_(files_.empty() ? 0 : files_.front()->size),
      meter_(meter),
      rangeBytes_(rangeBytes),
      oneByOne_(files_.size() > mostComparedFiles),
      ranges_(oneByOne_ || size_ == 0 ? 1 : std::size_t((size_ + rangeBytes - 1) / rangeBytes)),
      left_(std::make_unique<std::atomic<bool>[]>(files_.size())),
      labels_(oneByOne_ ? 0 : ranges_ * files_.size(), unlikeAll),
      rangesLeft_(ranges_) {}

bool SameSizeComparison::compare(std::size_t range) {
    if (oneByOne_) {
        hashEachFile();
        return rangesLeft_.fetch_sub(1, std::memory_order_acq_rel) == 1;
    }
    const std::int64_t from = std::int64_t(range) * rangeBytes_;
    const std::int64_t to = std::min(size_, from + rangeBytes_);
    std::vector<FileDescriptor> descriptors(files_.size());
    auto leave = [&](std::uint32_t file, std::int64_t offset) {
        left_[file].store(true, std::memory_order_relaxed);
        descriptors[file].reset();
        creditBeyondSample(meter_, offset, to);
    };
    std::vector<std::uint32_t> opened;
    for (std::uint32_t file = 0; file < files_.size(); ++file) {
        if (!left_[file].load(std::memory_order_relaxed)) descriptors[file] = openUnchanged(*files_[file]);
        if (descriptors[file].isOpen()) {
            opened.push_back(file);
        } else {
            leave(file, from);
        }
    }
    // Parts of files equal so far in this range, each in file order.
    std::vector<std::vector<std::uint32_t>> parts;
    if (opened.size() >= 2) {
        meter_.setPath(files_[opened.front()]->path);
        parts.push_back(std::move(opened));
    } else {
        for (std::uint32_t file : opened) leave(file, from);
    }

    unsigned char* buffer = threadBuffer(std::size_t(chunk) * files_.size());
    auto slice = [&](std::uint32_t file) { return buffer + std::size_t(chunk) * file; };
    std::vector<std::vector<std::uint32_t>> next;
    for (std::int64_t offset = from; offset < to && !parts.empty(); offset += chunk) {
        if (meter_.isCancelled()) throw Cancelled();
        const std::int64_t length = std::min(chunk, to - offset);
        next.clear();
        for (const std::vector<std::uint32_t>& part : parts) {
            const std::size_t firstSplit = next.size();
            for (std::uint32_t file : part) {
                // Gone elsewhere: unlike every file in another range, or changed.
                if (left_[file].load(std::memory_order_relaxed) || !readExactly(descriptors[file].get(), slice(file), length, offset)) {
                    leave(file, offset);
                    continue;
                }
                creditBeyondSample(meter_, offset, offset + length);
                auto same = std::find_if(next.begin() + std::ptrdiff_t(firstSplit), next.end(), [&](const std::vector<std::uint32_t>& split) {
                    return std::memcmp(slice(split.front()), slice(file), std::size_t(length)) == 0;
                });
                if (same == next.end()) {
                    next.push_back({file});
                } else {
                    same->push_back(file);
                }
            }
        }
        std::erase_if(next, [&](const std::vector<std::uint32_t>& split) {
            if (split.size() >= 2) return false;
            leave(split.front(), offset + length);  // unlike every other file
            return true;
        });
        std::swap(parts, next);
    }
    std::uint32_t* row = labels_.data() + range * files_.size();
    for (const std::vector<std::uint32_t>& part : parts)
        for (std::uint32_t file : part) row[file] = part.front();
    return rangesLeft_.fetch_sub(1, std::memory_order_acq_rel) == 1;
}

void SameSizeComparison::hashEachFile() {
    digests_.clear();
    for (const IndexedFile* file : files_) digests_.push_back(contentDigest(*file, true));
}

std::vector<std::vector<std::uint32_t>> SameSizeComparison::sameInEveryRange() const {
    std::vector<std::vector<std::uint32_t>> classes;
    auto sameLabels = [&](std::uint32_t a, std::uint32_t b) {
        for (std::size_t range = 0; range < ranges_; ++range)
            if (labels_[range * files_.size() + a] != labels_[range * files_.size() + b]) return false;
        return true;
    };
    for (std::uint32_t file = 0; file < files_.size(); ++file) {
        if (left_[file].load(std::memory_order_relaxed)) continue;
        auto same = std::find_if(classes.begin(), classes.end(), [&](const auto& equal) { return sameLabels(equal.front(), file); });
        if (same == classes.end()) {
            classes.push_back({file});
        } else {
            same->push_back(file);
        }
    }
    return classes;
}

std::vector<SameSizeComparison::EqualFiles> SameSizeComparison::equalFiles() {
    std::vector<EqualFiles> equal;
    if (oneByOne_) {
        std::vector<std::uint32_t> hashed;
        for (std::uint32_t file = 0; file < files_.size(); ++file)
            if (digests_[file]) hashed.push_back(file);
        forEachDigestRun(hashed, [&](std::uint32_t file) -> const Sha256::Digest& { return *digests_[file]; }, [&](std::span<std::uint32_t> run) {
            if (run.size() < 2) return;
            EqualFiles files{*digests_[run.front()], {}};
            for (std::uint32_t file : run) files.second.push_back(files_[file]);
            equal.push_back(std::move(files));
        });
        return equal;
    }
    for (const std::vector<std::uint32_t>& same : sameInEveryRange()) {
        if (same.size() < 2) continue;
        // One file's bytes name the content; a file that changed since it was compared is left out.
        EqualFiles files;
        std::size_t hashed = 0;
        std::optional<Sha256::Digest> digest;
        while (hashed < same.size() && !(digest = contentDigest(*files_[same[hashed]], false))) ++hashed;
        if (!digest) continue;
        files.first = *digest;
        files.second.push_back(files_[same[hashed]]);
        for (std::size_t i = hashed + 1; i < same.size(); ++i)
            if (openUnchanged(*files_[same[i]]).isOpen()) files.second.push_back(files_[same[i]]);
        if (files.second.size() >= 2) equal.push_back(std::move(files));
    }
    return equal;
}

std::optional<Sha256::Digest> SameSizeComparison::contentDigest(const IndexedFile& file, bool creditReads) {
    std::int64_t offset = 0;
    auto unread = [&] {
        if (creditReads) creditBeyondSample(meter_, offset, size_);
        return std::nullopt;
    };
    FileDescriptor descriptor = openUnchanged(file);
    if (!descriptor.isOpen()) return unread();
    meter_.setPath(file.path);
    unsigned char* buffer = threadBuffer(std::size_t(chunk));
    Sha256 hash;
    for (; offset < size_; offset += chunk) {
        if (meter_.isCancelled()) throw Cancelled();
        const std::int64_t length = std::min(chunk, size_ - offset);
        if (!readExactly(descriptor.get(), buffer, length, offset)) return unread();
        hash.update(buffer, std::size_t(length));
        if (creditReads) creditBeyondSample(meter_, offset, offset + length);
    }
    if (!isUnchanged(descriptor.get(), file)) return std::nullopt;
    return hash.finish();
}
