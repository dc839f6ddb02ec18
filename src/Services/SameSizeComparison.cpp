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
      compared_(std::make_unique<std::atomic<bool>[]>(ranges_)) {}

std::optional<std::vector<SameSizeComparison::EqualFiles>> SameSizeComparison::compare(std::size_t range) {
    if (oneByOne_) return hashEachFile();
    compareRange(range);
    compared_[range].store(true, std::memory_order_release);
    return hashComparedRanges();
}

void SameSizeComparison::compareRange(std::size_t range) {
    const std::int64_t from = rangeStart(range);
    const std::int64_t to = rangeEnd(range);
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
}

std::optional<std::vector<SameSizeComparison::EqualFiles>> SameSizeComparison::hashComparedRanges() {
    if (hashRequests_.fetch_add(1, std::memory_order_acq_rel) != 0) return std::nullopt;  // the hashing thread will see this range
    for (;;) {
        const std::size_t requests = hashRequests_.load(std::memory_order_acquire);
        while (hashedRanges_ < ranges_ && compared_[hashedRanges_].load(std::memory_order_acquire)) hashRange(hashedRanges_++);
        if (hashedRanges_ == ranges_) return finish();
        if (hashRequests_.fetch_sub(requests, std::memory_order_acq_rel) == requests) return std::nullopt;
    }
}

void SameSizeComparison::hashRange(std::size_t range) {
    if (range == 0) {
        Content all{{}, Sha256(), {}};
        for (std::uint32_t file = 0; file < files_.size(); ++file) all.files.push_back(file);
        contents_.push_back(std::move(all));
    }
    const std::uint32_t* row = labels_.data() + range * files_.size();
    const std::int64_t from = rangeStart(range);
    const std::int64_t to = rangeEnd(range);
    unsigned char* buffer = threadBuffer(std::size_t(chunk));
    std::vector<Content> next;
    for (Content& content : contents_) {
        // Split by this range's parts, dropping the files that left.
        const std::size_t firstSplit = next.size();
        for (std::uint32_t file : content.files) {
            if (row[file] == unlikeAll || left_[file].load(std::memory_order_relaxed)) continue;
            auto same = std::find_if(next.begin() + std::ptrdiff_t(firstSplit), next.end(),
                                     [&](const Content& split) { return row[split.files.front()] == row[file]; });
            if (same == next.end()) {
                next.push_back({{file}, std::nullopt, content.hashedFrom});
            } else {
                same->files.push_back(file);
            }
        }
        next.erase(std::remove_if(next.begin() + std::ptrdiff_t(firstSplit), next.end(), [](const Content& split) { return split.files.size() < 2; }),
                   next.end());
        for (std::size_t i = firstSplit; i < next.size(); ++i) {
            Content& split = next[i];
            if (!content.hash) continue;
            // The last split takes over the digest so far; the others continue from a copy.
            split.hash.emplace(i + 1 == next.size() ? std::move(*content.hash) : Sha256(*content.hash));
            const std::uint32_t source = split.files.front();
            FileDescriptor descriptor = openUnchanged(*files_[source]);
            for (std::int64_t offset = from; offset < to && split.hash; offset += chunk) {
                if (meter_.isCancelled()) throw Cancelled();
                const std::int64_t length = std::min(chunk, to - offset);
                if (descriptor.isOpen() && readExactly(descriptor.get(), buffer, length, offset)) {
                    split.hash->update(buffer, std::size_t(length));
                } else {
                    split.hash.reset();
                }
            }
            if (split.hash && std::find(split.hashedFrom.begin(), split.hashedFrom.end(), source) == split.hashedFrom.end())
                split.hashedFrom.push_back(source);
        }
    }
    contents_ = std::move(next);
}

std::vector<SameSizeComparison::EqualFiles> SameSizeComparison::finish() {
    std::vector<EqualFiles> equal;
    for (Content& content : contents_) {
        // The digest stands only if every file whose bytes it took is still as indexed; else one
        // file still as indexed is hashed whole.
        std::optional<Sha256::Digest> digest;
        if (content.hash && std::all_of(content.hashedFrom.begin(), content.hashedFrom.end(), [&](std::uint32_t file) { return stillAsIndexed(file); }))
            digest = content.hash->finish();
        for (std::size_t i = 0; !digest && i < content.files.size(); ++i) digest = contentDigest(*files_[content.files[i]], false);
        if (!digest) continue;
        EqualFiles files{*digest, {}};
        for (std::uint32_t file : content.files)
            if (stillAsIndexed(file)) files.second.push_back(files_[file]);
        if (files.second.size() >= 2) equal.push_back(std::move(files));
    }
    contents_.clear();
    return equal;
}

std::vector<SameSizeComparison::EqualFiles> SameSizeComparison::hashEachFile() {
    std::vector<std::optional<Sha256::Digest>> digests;
    std::vector<std::uint32_t> hashed;
    for (std::uint32_t file = 0; file < files_.size(); ++file) {
        digests.push_back(contentDigest(*files_[file], true));
        if (digests.back()) hashed.push_back(file);
    }
    std::vector<EqualFiles> equal;
    forEachDigestRun(hashed, [&](std::uint32_t file) -> const Sha256::Digest& { return *digests[file]; }, [&](std::span<std::uint32_t> run) {
        if (run.size() < 2) return;
        EqualFiles files{*digests[run.front()], {}};
        for (std::uint32_t file : run) files.second.push_back(files_[file]);
        equal.push_back(std::move(files));
    });
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

bool SameSizeComparison::stillAsIndexed(std::uint32_t file) const { return openUnchanged(*files_[file]).isOpen(); }
