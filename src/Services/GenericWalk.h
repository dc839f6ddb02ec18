#pragma once

#include "Models/SaturatingSum.h"
#include "Models/ScanProgress.h"
#include "Platform/DirectoryReader.h"
#include "Services/DirectoryStack.h"
#include "Services/ProgressCounters.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// One run of the walk behind FastTreeWalk: several roots, each directory tagged with its root's
// index; each worker folds the entries it reads into a local value of the caller's type, which it
// hands in when the walk is over. Nothing is shared per file.
template <typename Local>
class GenericWalk {
public:
    using SkipRule = std::function<bool(std::string_view name)>;
    using MakeLocal = std::function<Local()>;
    using Visit = std::function<void(Local&, std::int64_t root, const std::string& directory, const DirectoryEntry&)>;

    GenericWalk(const std::vector<std::string>& roots, bool includeHidden, SkipRule skipDirectory, MakeLocal makeLocal, Visit visit)
        : includeHidden_(includeHidden), skipDirectory_(std::move(skipDirectory)), makeLocal_(std::move(makeLocal)), visit_(std::move(visit)) {
        for (std::size_t i = 0; i < roots.size(); ++i) stack_.push({roots[i], std::int64_t(i)});
    }

    void runWorker() {
        Local local = makeLocal_();
        std::vector<DirectoryEntry> entries;
        entries.reserve(256);
        std::vector<DirectoryStack::Item> pending;
        while (auto item = stack_.take()) {
            entries.clear();
            std::int64_t files = 0;
            std::int64_t bytes = 0;
            if (DirectoryReader::read(item->path.empty() ? "/" : item->path, entries)) {
                for (const DirectoryEntry& entry : entries) {
                    if (!entry.isWalked(includeHidden_)) continue;
                    if (entry.type == DirectoryEntry::Kind::file) {
                        ++files;
                        bytes = saturatingSum(bytes, entry.allocatedSize);
                    } else if (!skipDirectory_(entry.name)) {
                        pending.push_back({item->path + "/" + entry.name, item->index});
                    }
                    visit_(local, item->index, item->path, entry);
                }
            }
            progress_.add(files, bytes, item->path);
            stack_.finish(pending);
        }
        std::lock_guard lock(resultsLock_);
        results_.push_back(std::move(local));
    }

    void cancel() { stack_.cancel(); }
    ScanProgress progress() const { return progress_.read(); }
    // Only once every worker has returned.
    std::vector<Local> takeResults() { return std::move(results_); }

private:
    const bool includeHidden_;
    const SkipRule skipDirectory_;
    const MakeLocal makeLocal_;
    const Visit visit_;
    DirectoryStack stack_;
    ProgressCounters progress_;
    std::mutex resultsLock_;
    std::vector<Local> results_;
};
