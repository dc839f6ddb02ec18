#pragma once

#include "Services/FileIntelligenceService.h"
#include "Services/HashMeter.h"
#include "Services/Sha256.h"

#include <atomic>
#include <cstddef>
#include <mutex>
#include <optional>
#include <vector>

// Files of one length whose samples agree, hashed whole one file at a time, each file on whichever
// thread takes it: for more files than may be held open together, and for the files of a range
// comparison that gave up. Each file holds one descriptor while it is read. A file that found no
// descriptor is tried again later; the call that settles the last file groups them by digest.
class FileByFileComparison {
public:
    using IndexedFile = FileIntelligenceService::IndexedFile;
    using EqualFiles = FileIntelligenceService::EqualFiles;

    // With `creditReads` the bytes beyond each file's sample count as progress.
    FileByFileComparison(std::vector<const IndexedFile*> sameSize, HashMeter& meter, bool creditReads);
    FileByFileComparison(const FileByFileComparison&) = delete;
    FileByFileComparison& operator=(const FileByFileComparison&) = delete;

    std::size_t fileCount() const { return files_.size(); }
    // Hashes one file. One that finds no descriptor waits in takeRetries(), unless this is its
    // `lastTry`: it is then not compared. The call that settles the last file returns the sets of
    // two or more equal files. Throws Cancelled when the meter is cancelled.
    std::optional<std::vector<EqualFiles>> compare(std::size_t file, bool lastTry);
    // The files to try again, taken once each.
    std::vector<std::size_t> takeRetries();
    // The files that could not be read: complete once every file is settled.
    std::vector<const IndexedFile*> notCompared() const;

private:
    std::optional<std::vector<EqualFiles>> settle();

    std::vector<const IndexedFile*> files_;
    HashMeter& meter_;
    bool creditReads_;
    // Each slot is written by the one call that settles its file, and read by the call that settles
    // the last one.
    std::vector<std::optional<Sha256::Digest>> digests_;
    std::atomic<std::size_t> unsettled_;
    mutable std::mutex lock_;
    std::vector<std::size_t> retries_;
    std::vector<const IndexedFile*> notCompared_;
};
