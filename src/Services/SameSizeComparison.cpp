#include "Services/SameSizeComparison.h"

#include "Foundation/Cancelled.h"
#include "Services/IndexedFileReads.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

using namespace IndexedFileReads;

SameSizeComparison::SameSizeComparison(std::vector<const IndexedFile*> sameSize, HashMeter& meter, std::int64_t rangeBytes)
    : files_(std::move(sameSize)),
      size_(files_.empty() ? 0 : files_.front()->size),
      meter_(meter),
      rangeBytes_(rangeBytes),
      ranges_(size_ == 0 ? 1 : std::size_t((size_ + rangeBytes - 1) / rangeBytes)),
      left_(std::make_unique<std::atomic<bool>[]>(files_.size())),
      labels_(ranges_ * files_.size(), unlikeAll),
      compared_(std::make_unique<std::atomic<bool>[]>(ranges_)) {}

std::optional<std::vector<SameSizeComparison::EqualFiles>> SameSizeComparison::compare(std::size_t range) {
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
        if (gaveUp()) return;
        if (!left_[file].load(std::memory_order_relaxed)) {
            OpenedFile open = openUnchanged(*files_[file]);
            if (open.trouble != ReadTrouble::none && open.trouble != ReadTrouble::changed) return giveUp();
            descriptors[file] = std::move(open.descriptor);
        }
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
        if (gaveUp()) return;
        const std::int64_t length = std::min(chunk, to - offset);
        next.clear();
        for (const std::vector<std::uint32_t>& part : parts) {
            const std::size_t firstSplit = next.size();
            for (std::uint32_t file : part) {
                // Gone elsewhere: unlike every file in another range, or changed.
                const ReadTrouble trouble =
                    left_[file].load(std::memory_order_relaxed) ? ReadTrouble::changed : readExactly(descriptors[file].get(), slice(file), length, offset);
                if (trouble == ReadTrouble::unreadable) return giveUp();
                if (trouble != ReadTrouble::none) {
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
        while (hashedRanges_ < ranges_ && compared_[hashedRanges_].load(std::memory_order_acquire)) {
            if (!gaveUp()) hashRange(hashedRanges_);
            ++hashedRanges_;
        }
        if (hashedRanges_ == ranges_) return gaveUp() ? std::vector<EqualFiles>() : finish();
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
            FileDescriptor descriptor = openUnchanged(*files_[source]).descriptor;  // else hashed whole at the end
            for (std::int64_t offset = from; offset < to && split.hash; offset += chunk) {
                if (meter_.isCancelled()) throw Cancelled();
                const std::int64_t length = std::min(chunk, to - offset);
                if (descriptor.isOpen() && readExactly(descriptor.get(), buffer, length, offset) == ReadTrouble::none) {
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
        for (std::size_t i = 0; !digest && !gaveUp() && i < content.files.size(); ++i) {
            FileDigest whole = wholeDigest(*files_[content.files[i]], meter_, false);
            if (whole.trouble != ReadTrouble::none && whole.trouble != ReadTrouble::changed) giveUp();
            digest = whole.digest;
        }
        if (gaveUp()) return {};
        if (!digest) continue;
        EqualFiles files{*digest, {}};
        for (std::uint32_t file : content.files)
            if (stillAsIndexed(file)) files.second.push_back(files_[file]);
        if (files.second.size() >= 2) equal.push_back(std::move(files));
    }
    contents_.clear();
    return gaveUp() ? std::vector<EqualFiles>() : equal;
}

bool SameSizeComparison::stillAsIndexed(std::uint32_t file) {
    if (const auto now = FileIdentity::at(files_[file]->path)) return isUnchanged(*now, *files_[file]);
    if (errno != ENOENT && errno != ENOTDIR) giveUp();
    return false;
}
