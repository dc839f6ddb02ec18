#include "Services/FileByFileComparison.h"

#include "Services/DigestRuns.h"
#include "Services/IndexedFileReads.h"

#include <span>

using namespace IndexedFileReads;

FileByFileComparison::FileByFileComparison(std::vector<const IndexedFile*> sameSize, HashMeter& meter, bool creditReads)
    : files_(std::move(sameSize)), meter_(meter), creditReads_(creditReads), digests_(files_.size()), unsettled_(files_.size()) {}

std::optional<std::vector<FileByFileComparison::EqualFiles>> FileByFileComparison::compare(std::size_t file, bool lastTry) {
    FileDigest whole = wholeDigest(*files_[file], meter_, creditReads_);
    if (whole.trouble == ReadTrouble::noDescriptor && !lastTry) {
        std::lock_guard guard(lock_);
        retries_.push_back(file);
        return std::nullopt;
    }
    if (whole.trouble == ReadTrouble::noDescriptor && creditReads_) creditBeyondSample(meter_, 0, files_[file]->size);
    if (whole.trouble == ReadTrouble::unreadable || whole.trouble == ReadTrouble::noDescriptor) {
        std::lock_guard guard(lock_);
        notCompared_.push_back(files_[file]);
    }
    digests_[file] = whole.digest;
    if (unsettled_.fetch_sub(1, std::memory_order_acq_rel) != 1) return std::nullopt;
    return settle();
}

std::optional<std::vector<FileByFileComparison::EqualFiles>> FileByFileComparison::settle() {
    std::vector<std::size_t> hashed;
    for (std::size_t file = 0; file < files_.size(); ++file)
        if (digests_[file]) hashed.push_back(file);
    std::vector<EqualFiles> equal;
    forEachDigestRun(hashed, [&](std::size_t file) -> const Sha256::Digest& { return *digests_[file]; }, [&](std::span<std::size_t> run) {
        if (run.size() < 2) return;
        EqualFiles files{*digests_[run.front()], {}};
        for (std::size_t file : run) files.second.push_back(files_[file]);
        equal.push_back(std::move(files));
    });
    return equal;
}

std::vector<std::size_t> FileByFileComparison::takeRetries() {
    std::lock_guard guard(lock_);
    return std::exchange(retries_, {});
}

std::vector<const FileByFileComparison::IndexedFile*> FileByFileComparison::notCompared() const {
    std::lock_guard guard(lock_);
    return notCompared_;
}
