#pragma once

#include "Platform/DirectoryReader.h"
#include "Foundation/SaturatingSum.h"
#include "Services/WalkEntryFilter.h"
#include "Services/WalkProgress.h"
#include "Services/WalkStack.h"
#include "Services/WalkWorkers.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// One run of the walk behind FastTreeWalk: several roots, each directory tagged with its root's
// index; each worker folds the entries it reads into a local value of the caller's type and hands
// it in when the walk is over. Nothing is shared per file. Unreadable directories are passed over.
// Whether a walk leaves the folder `name` in `directory` unentered.
using WalkSkipRule = std::function<bool(const std::string& directory, std::string_view name)>;

template <typename Local>
class GenericWalk {
public:
    using SkipRule = WalkSkipRule;
    using MakeLocal = std::function<Local()>;
    // The worker's local value, the root index, the directory's path ("" for "/") and the entry.
    using Visit = std::function<void(Local&, std::int64_t root, const std::string& directory, const DirectoryEntry&)>;

    GenericWalk(const std::vector<std::string>& roots, bool includeHidden, SkipRule skipDirectory, MakeLocal makeLocal, Visit visit)
        : includeHidden_(includeHidden), skipDirectory_(std::move(skipDirectory)), makeLocal_(std::move(makeLocal)), visit_(std::move(visit)) {
        for (std::size_t i = 0; i < roots.size(); ++i) stack_.seed({roots[i], std::int64_t(i)});
    }

    void runWorker() {
        Local local = makeLocal_();
        std::vector<DirectoryEntry> entries;
        entries.reserve(256);
        std::vector<WalkItem> pending;
        const int statusThreads = WalkWorkers::count();
        while (auto item = stack_.next()) {
            entries.clear();
            std::int64_t files = 0;
            std::int64_t bytes = 0;
            auto fold = [&](std::vector<DirectoryEntry>& batch) {
                for (const DirectoryEntry& entry : batch) {
                    if (!passesWalkFilter(entry, includeHidden_)) continue;
                    if (entry.type == DirectoryEntry::Kind::file) {
                        ++files;
                        bytes = saturatingSum(bytes, entry.allocatedSize);
                    } else if (!skipDirectory_(item->path, entry.name)) {
                        pending.push_back({item->path + "/" + entry.name, item->tag});
                    }
                    visit_(local, item->tag, item->path, entry);
                }
                batch.clear();
            };
            if (DirectoryReader::read(item->path.empty() ? "/" : item->path, entries, fold, statusThreads)) fold(entries);
            progress_.add(files, bytes, item->path);
            stack_.finished(pending);
        }
        stack_.handIn(std::move(local));
    }

    void cancel() { stack_.cancel(); }
    WalkProgress::Counts progress() const { return progress_.read(); }
    std::vector<Local> takeResults() { return stack_.takeResults(); }

private:
    const bool includeHidden_;
    const SkipRule skipDirectory_;
    const MakeLocal makeLocal_;
    const Visit visit_;
    WalkStack<Local> stack_;
    WalkProgress progress_;
};
