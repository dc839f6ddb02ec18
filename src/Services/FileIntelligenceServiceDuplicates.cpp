// The duplicate finder of FileIntelligenceService: index by length, then sample hashes, then the
// large files that still agree with another compared side by side, or hashed file by file when
// there are too many to hold open at once.
#include "Services/FileIntelligenceService.h"

#include "Foundation/Cancelled.h"
#include "Foundation/FileDescriptor.h"
#include "Foundation/LiesWithin.h"
#include "Foundation/SaturatingSum.h"
#include "Platform/DirectoryReader.h"
#include "Services/CopyWholes.h"
#include "Platform/KindDescriptions.h"
#include "Platform/OpenFileLimit.h"
#include "Platform/ProgramInstalls.h"
#include "Platform/RealPath.h"
#include "Platform/SharedExtents.h"
#include "Platform/StandardizedPath.h"
#include "Platform/TrashFolders.h"
#include "Platform/UserOwnFiles.h"
#include "Platform/WindowsAttributes.h"
#include "Platform/WindowsLayout.h"
#include "Services/DigestRuns.h"
#include "Services/FastTreeWalk.h"
#include "Services/FileByFileComparison.h"
#include "Services/IndexedFileReads.h"
#include "Services/PathArena.h"
#include "Services/ProjectWholes.h"
#include "Services/SameSizeComparison.h"
#include "Services/ScanError.h"
#include "Services/WalkWorkers.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <malloc.h>
#include <set>
#include <span>
#include <sys/stat.h>
#include <type_traits>
#include <unistd.h>
#include <variant>

using namespace IndexedFileReads;

namespace {

using IndexedFile = FileIntelligenceService::IndexedFile;
using Digest = Sha256::Digest;
using EqualFiles = FileIntelligenceService::EqualFiles;
using ReadTrouble = FileIntelligenceService::ReadTrouble;
using SampleDigest = FileIntelligenceService::SampleDigest;
constexpr std::int64_t sampleLimit = FileIntelligenceService::sampleLimit;
constexpr std::int64_t sampleChunk = FileIntelligenceService::sampleChunk;
constexpr std::int64_t smallestCompared = 1024;
constexpr std::chrono::milliseconds comparingInterval{120};

// A file the walk listed, its path text in its worker's arena.
struct ListedFile {
    const char* path;
    std::int64_t size;  // logical length
    std::optional<Instant> modified;
};

// What one walk worker listed: every eligible file and the text of its path. The list grows without
// moving what it holds, so the search points into it instead of copying it.
struct WorkerIndex {
    // Moved, never copied: a deque's move may throw, and the walk's vector of these would copy.
    WorkerIndex() = default;
    WorkerIndex(WorkerIndex&&) = default;
    WorkerIndex& operator=(WorkerIndex&&) = default;

    PathArena paths;
    std::deque<ListedFile> files;
    // The folders that hold a file with other names, each once per run of its entries.
    std::vector<std::string> linkedFolders;
    // Of each folder, the entries that may mark it a whole, a project or an install, or be a sidecar.
    std::vector<std::pair<std::string, DirectoryEntry>> markers;
    // The documents that name a project's files, and the sound files of each folder, a count per run
    // of its entries.
    std::vector<std::string> projectDocuments;
    std::vector<std::pair<std::string, std::size_t>> audioFiles;
};

// Folders that hold a file with other names: the folders of a backup made with hard links
// (rsnapshot, `rsync --link-dest`, `cp -al`, Back In Time, Timeshift). A file the backup copied
// anew has one name, beside files that have several in its folder, or, where everything in its
// folder changed since the backup before, in a folder above it.
class LinkedFolders {
public:
    explicit LinkedFolders(std::string_view root) : root_(root) {}

    void add(std::string folder) { folders_.insert(std::move(folder)); }

    // Whether the file at `path` lies in such a folder, or below one inside the searched folder.
    bool holdAbove(std::string_view path) const {
        bool ownFolder = true;
        for (std::size_t slash = path.rfind('/'); slash != std::string_view::npos; slash = path.rfind('/', slash - 1)) {
            const std::string_view folder = path.substr(0, std::max<std::size_t>(slash, 1));
            // The searched folder counts only as a copy's own: one linked file at the top of a home
            // says nothing of the folders below it.
            if (!ownFolder && folder.size() <= root_.size()) return false;
            if (folders_.contains(folder)) return true;
            if (slash == 0) return false;
            ownFolder = false;
        }
        return false;
    }

private:
    std::string_view root_;
    std::set<std::string, std::less<>> folders_;
};

// Files of one length, a run of the files sorted by length.
struct SizeClass {
    std::int64_t size;
    std::size_t first;
    std::size_t count;
};

// One candidate's sample: once read, its digest and the identity of the file read; else why not.
struct Sample {
    std::optional<CandidateIdentity> identity;
    Digest digest{};
    ReadTrouble trouble = ReadTrouble::none;
};

// A candidate whose sample another file of its length shares.
struct Kept {
    IndexedFile file;
    Digest digest;
};

// The samples of one length while its files are read, on whichever workers take them. Only the
// class's files are held, and only until the last of them is read: then the class is sifted, and
// what stays is the files whose sample another file shares, in runs of equal samples.
class ClassSamples {
public:
    ClassSamples() = default;
    ClassSamples(const ClassSamples&) = delete;
    ClassSamples& operator=(const ClassSamples&) = delete;
    ~ClassSamples() { delete[] samples_.load(std::memory_order_relaxed); }

    void expect(std::size_t count) { unread_.store(count, std::memory_order_relaxed); }

    // The class's samples, one slot per file. The pool hands out a class's files in order, so the
    // worker with its first file makes them and the others wait for that.
    Sample* samplesFor(std::size_t index, std::size_t count) {
        if (Sample* samples = samples_.load(std::memory_order_acquire)) return samples;
        if (index == 0) {
            auto* samples = new Sample[count];
            samples_.store(samples, std::memory_order_release);
            samples_.notify_all();
            return samples;
        }
        samples_.wait(nullptr, std::memory_order_acquire);
        return samples_.load(std::memory_order_acquire);
    }

    // Counts a file read; true for the call that read the class's last one.
    bool read() { return unread_.fetch_sub(1, std::memory_order_acq_rel) == 1; }

    // For the call that read the last file: the samples, which the class no longer holds.
    std::unique_ptr<Sample[]> take() { return std::unique_ptr<Sample[]>(samples_.exchange(nullptr, std::memory_order_acq_rel)); }

    void keep(std::vector<Kept> kept) { kept_ = std::move(kept); }
    // Once every pool has ended.
    const std::vector<Kept>& kept() const { return kept_; }

private:
    std::atomic<Sample*> samples_ = nullptr;
    std::atomic<std::size_t> unread_ = 0;
    std::vector<Kept> kept_;
};

// The groups confirmed so far and the kind texts of the call. `foundGroup` is called outside the lock.
class GroupCollector {
public:
    // What Windows hides is dropped from the groups where hidden files are not searched.
    GroupCollector(const FileIntelligenceService::FoundGroupCallback& foundGroup, const LinkedFolders& linkedFolders, CopyWholes& wholes,
                   ProjectWholes& projects, UserOwnFiles& ownFiles, const WindowsAttributes* hiddenByWindows, std::stop_token stop)
        : foundGroup_(foundGroup), linkedFolders_(linkedFolders), wholes_(wholes), projects_(projects), ownFiles_(ownFiles),
          hiddenByWindows_(hiddenByWindows), stop_(std::move(stop)) {}

    // Each copy goes with the identity of the file that was read, which a move checks against, and
    // with its count of names, which tells whether moving it frees its space; its size is what it
    // takes on disk, of which the blocks it shares with other files stay when it is moved. A copy
    // whose name no longer holds that file leaves the group, and so does a second name of a file
    // already in it.
    void add(std::span<const IndexedFile* const> files, const Digest& digest) {
        DuplicateGroup group;
        group.id = FileIntelligenceService::hex(digest);
        group.fileSize = files.front()->size;
        struct Unchanged {
            const IndexedFile* file;
            FileIdentity identity;
            SharedExtents::Map extents;
        };
        std::vector<Unchanged> unchanged;
        std::set<std::pair<std::uint64_t, std::uint64_t>> inodes;
        for (const IndexedFile* file : files) {
            if (!file->identity || (hiddenByWindows_ && hiddenByWindows_->hiddenOrSystem(file->path))) continue;
            const FileDescriptor opened(::open(file->path, O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
            const std::optional<FileIdentity> now = opened.isOpen() ? FileIdentity::ofOpen(opened.get()) : FileIdentity::at(file->path);
            if (!now || !file->identity->isFile(*now, file->size)) continue;
            if (inodes.emplace(now->device, now->inode).second)
                unchanged.push_back({file, *now, opened.isOpen() ? SharedExtents::ofFileSystems().map(opened.get()) : SharedExtents::Map{}});
        }
        if (unchanged.size() < 2) return;
        // Where each copy lies: in a whole or a project, or else outside the user's own files.
        std::vector<std::optional<UntickedReason>> places;
        std::vector<std::string> within;
        for (const Unchanged& copy : unchanged) {
            std::optional<UntickedReason> place = wholes_.of(copy.file->path);
            std::string folder;
            if (!place) {
                if (std::optional<ProjectWholes::Belonging> project = projects_.of(copy.file->path)) {
                    place = project->reason;
                    folder = std::move(project->within);
                } else {
                    UserOwnFiles::Place own = ownFiles_.placeOf(copy.file->path);
                    place = outsideReason(own.standing);
                    folder = std::move(own.folder);
                }
            }
            places.push_back(place);
            within.push_back(std::move(folder));
        }
        group.files.reserve(unchanged.size());
        {
            std::lock_guard lock(lock_);
            for (const Unchanged& copy : unchanged) {
                std::filesystem::path location(copy.file->path);
                QString kind = kinds_.kind(location);
                group.files.push_back({Uuid::random(), std::move(location), copy.identity.allocated, copy.file->modified, std::move(kind), copy.identity,
                                       copy.extents.shared, copy.extents.compressed});
            }
        }
        for (std::size_t i = 0; i < unchanged.size(); ++i) {
            group.files[i].untickedReason = DuplicateGroup::untickedReason(group.files[i], linkedFolders_.holdAbove(unchanged[i].file->path), places[i]);
            if (group.files[i].untickedReason == places[i]) group.files[i].untickedWithin = within[i];
            group.files[i].inPassingFolder = ownFiles_.inPassingFolder(unchanged[i].file->path);
        }
        DuplicateGroup::orderCopies(group.files);
        // A stop requested while the group was made: the search ends, and delivers nothing more.
        if (stop_.stop_requested()) return;
        if (foundGroup_) foundGroup_(group);
        std::lock_guard lock(lock_);
        storage_.push_back(std::move(group));
    }

    std::int64_t count() const {
        std::lock_guard lock(lock_);
        return std::int64_t(storage_.size());
    }

    std::vector<DuplicateGroup> take() {
        std::lock_guard lock(lock_);
        return std::move(storage_);
    }

private:
    mutable std::mutex lock_;
    std::vector<DuplicateGroup> storage_;
    KindDescriptions kinds_;
    const FileIntelligenceService::FoundGroupCallback& foundGroup_;
    const LinkedFolders& linkedFolders_;
    CopyWholes& wholes_;
    ProjectWholes& projects_;
    UserOwnFiles& ownFiles_;
    const WindowsAttributes* hiddenByWindows_;
    std::stop_token stop_;

    static std::optional<UntickedReason> outsideReason(UserOwnFiles::Standing standing) {
        switch (standing) {
        case UserOwnFiles::Standing::own: return std::nullopt;
        case UserOwnFiles::Standing::elsewhere: return UntickedReason::outsideYourFolders;
        case UserOwnFiles::Standing::install: return UntickedReason::programInstall;
        case UserOwnFiles::Standing::applicationData: return UntickedReason::applicationFolder;
        }
        return UntickedReason::outsideYourFolders;
    }
};

}  // namespace

std::string FileIntelligenceService::hex(const Sha256::Digest& digest) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string text(64, '0');
    for (std::size_t i = 0; i < digest.size(); ++i) {
        text[2 * i] = digits[digest[i] >> 4];
        text[2 * i + 1] = digits[digest[i] & 0xf];
    }
    return text;
}

FileIntelligenceService::SampleDigest FileIntelligenceService::sampleDigest(const IndexedFile& file, HashMeter& meter) {
    OpenedFile opened = openUnchanged(file);
    if (opened.trouble != ReadTrouble::none) return {std::nullopt, opened.trouble, {}};
    meter.setPath(file.path);
    thread_local Sha256 hash;
    hash.restart();
    unsigned char* buffer = threadBuffer(std::size_t(sampleLimit));
    const int descriptor = opened.descriptor.get();
    if (file.size <= sampleLimit) {
        if (ReadTrouble trouble = readExactly(descriptor, buffer, file.size, 0); trouble != ReadTrouble::none) return {std::nullopt, trouble, {}};
        hash.update(buffer, std::size_t(file.size));
    } else {
        ReadTrouble trouble = readExactly(descriptor, buffer, sampleChunk, 0);
        if (trouble == ReadTrouble::none) trouble = readExactly(descriptor, buffer + sampleChunk, sampleChunk, file.size - sampleChunk);
        if (trouble != ReadTrouble::none) return {std::nullopt, trouble, {}};
        hash.update(buffer, std::size_t(sampleLimit));
    }
    meter.addBytes(std::min(file.size, sampleLimit));
    return {hash.finish(), ReadTrouble::none, opened.identity};
}

int FileIntelligenceService::poolWorkerCount(int activeProcessors, std::size_t count) {
    std::size_t workers = activeProcessors > 1 ? std::size_t(activeProcessors) * 2 : 4;
    return int(std::min(workers, count));
}

void FileIntelligenceService::runPool(std::size_t count, HashMeter& meter, const std::function<void()>& report,
                                      const std::function<void(std::size_t)>& body, std::stop_token stop, std::size_t mostWorkers) {
    if (count == 0) return;
    std::atomic<std::size_t> cursor{0};
    auto worker = [&] {
        while (!meter.isCancelled()) {
            std::size_t index = cursor.fetch_add(1);
            if (index >= count) return;
            body(index);
        }
    };
    WalkWorkers::Run pool;
    pool.workerCount = int(std::min(std::size_t(poolWorkerCount(WalkWorkers::activeProcessors(), count)), std::max(mostWorkers, std::size_t(1))));
    pool.worker = worker;
    pool.cancel = [&] { meter.cancel(); };
    pool.pollInterval = comparingInterval;
    pool.tick = report;
    report();
    WalkWorkers::run(pool, stop);
    report();
}

namespace {

// Gives the memory freed on other threads back to the system. glibc keeps each thread's freed
// memory for that thread, so the lists the walk's workers built, freed here, would otherwise stay
// resident while this thread allocates the next stage anew.
void returnFreedMemory() { malloc_trim(0); }

// Names of one file count once: a bind mount shows one file under two paths, and hard links are
// names of one inode. Trashing such a "copy" frees nothing, or, for a bind mount, removes the only
// one. The first name by path stays.
void keepOneViewOfEachFile(std::vector<const ListedFile*>& sortedBySize) {
    std::vector<char> drop(sortedBySize.size(), 0);
    for (std::size_t first = 0; first < sortedBySize.size();) {
        std::size_t end = first + 1;
        while (end < sortedBySize.size() && sortedBySize[end]->size == sortedBySize[first]->size) ++end;
        std::set<std::pair<dev_t, ino_t>> seen;
        for (std::size_t i = first; end - first >= 2 && i < end; ++i) {
            struct stat info {};
            drop[i] = ::lstat(sortedBySize[i]->path, &info) == 0 && !seen.emplace(info.st_dev, info.st_ino).second;
        }
        first = end;
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < sortedBySize.size(); ++i)
        if (!drop[i]) sortedBySize[kept++] = sortedBySize[i];
    sortedBySize.resize(kept);
}

}  // namespace

DuplicateSearchResult FileIntelligenceService::duplicateGroups(const std::filesystem::path& folder, bool includeHidden,
                                                                     const ProgressCallback& progress, const FoundGroupCallback& foundGroup,
                                                                     std::stop_token stop) {
    const std::filesystem::path standardized = standardizedPath(folder);
    const std::string rootPath = realPath(standardized).value_or(standardized).native();  // links inside are not followed
    {
        std::vector<DirectoryEntry> scratchEntries;
        if (!DirectoryReader::read(rootPath, scratchEntries)) throw ScanError::cannotOpen(folder);
    }
    // A copy in a trash is lost when the trash is emptied: it is never kept, and never offered. So is
    // one in a recycle bin of Windows's, or in a folder of its system's.
    if (TrashFolders::current().isWithinTrash(rootPath) || WindowsLayout::liesInSystemFolder(rootPath)) return {};

    // Index: every eligible file, one list per worker, its path text packed in the worker's arena.
    // Hidden entries are listed either way, as the markers of wholes are most often hidden; only
    // what the search may offer follows the hidden-files choice.
    auto unsearched = unsearchedFolders();
    const WindowsAttributes windowsAttributes = WindowsAttributes::current();
    auto hiddenFolder = [&](const std::string& directory, std::string_view name) {
        return name.starts_with('.') || (windowsAttributes.anyMounted() && windowsAttributes.hiddenOrSystem(directory + "/" + std::string(name)));
    };
    auto indexes = FastTreeWalk::run<WorkerIndex>(
        {rootPath}, true,
        [&](const std::string& directory, std::string_view name) { return (!includeHidden && hiddenFolder(directory, name)) || unsearched(directory, name); },
        [&](const FastTreeWalk::Progress& walked) {
            if (progress) progress({DuplicateScanPhase::indexing, walked.path, walked.filesSeen, std::nullopt, walked.bytesSeen, std::nullopt, 0});
        },
        [] { return WorkerIndex(); },
        [&](WorkerIndex& index, std::int64_t, const std::string& directory, const DirectoryEntry& entry) {
            const bool hidden = entry.name.starts_with('.');
            if (CopyWholes::keeps(entry.name) || ProjectWholes::keeps(entry.name) || (!hidden && ProgramInstalls::mayShow(directory, entry)))
                index.markers.emplace_back(directory.empty() ? "/" : directory, entry);
            if (entry.type != DirectoryEntry::Kind::file) return;
            if (ProjectWholes::isAudio(entry.name)) {
                if (index.audioFiles.empty() || index.audioFiles.back().first != directory) index.audioFiles.emplace_back(directory, 0);
                ++index.audioFiles.back().second;
            }
            if (ProjectWholes::isProjectDocument(entry.name)) index.projectDocuments.push_back(directory + "/" + entry.name);
            if (!includeHidden && hidden) return;
            if (entry.linkCount > 1 && (index.linkedFolders.empty() || index.linkedFolders.back() != directory)) index.linkedFolders.push_back(directory);
            if (entry.logicalSize < smallestCompared) return;
            index.files.push_back({index.paths.add(directory, entry.name), entry.logicalSize, entry.modified});
        },
        stop);

    LinkedFolders linkedFolders(rootPath);
    std::unordered_map<std::string, std::vector<DirectoryEntry>> markers;
    std::vector<std::string> projectDocuments;
    std::unordered_map<std::string, std::size_t> audioFiles;
    for (WorkerIndex& index : indexes) {
        for (std::string& linked : index.linkedFolders) linkedFolders.add(std::move(linked));
        index.linkedFolders = {};
        for (auto& [directory, entry] : index.markers) markers[std::move(directory)].push_back(std::move(entry));
        index.markers = {};
        for (std::string& document : index.projectDocuments) projectDocuments.push_back(std::move(document));
        index.projectDocuments = {};
        for (auto& [directory, count] : index.audioFiles) audioFiles[directory.empty() ? "/" : std::move(directory)] += count;
        index.audioFiles = {};
    }
    CopyWholes wholes(rootPath, markers);
    // A folder the walk listed has its markers kept, or none; any other is read when asked.
    const std::vector<DirectoryEntry> noMarkers;
    auto walkedEntries = [&](const std::string& listedFolder) -> const std::vector<DirectoryEntry>* {
        if (const auto kept = markers.find(listedFolder); kept != markers.end()) return &kept->second;
        const bool walked = liesWithinText(listedFolder, rootPath) && (includeHidden || listedFolder.find("/.", rootPath.size()) == std::string::npos);
        return walked ? &noMarkers : nullptr;
    };
    ProgramInstalls installs(walkedEntries);
    const SystemRoots roots = SystemRoots::current();
    ProjectWholes projects(walkedEntries, std::move(projectDocuments), std::move(audioFiles), roots);
    UserOwnFiles ownFiles(rootPath, roots, installs, windowsAttributes);

    // Order by length (and path, so equal lengths come out the same on every run).
    std::vector<const ListedFile*> sorted;
    {
        std::size_t total = 0;
        for (const WorkerIndex& index : indexes) total += index.files.size();
        sorted.reserve(total);
        for (const WorkerIndex& index : indexes)
            for (const ListedFile& file : index.files) sorted.push_back(&file);
    }
    std::sort(sorted.begin(), sorted.end(), [](const ListedFile* a, const ListedFile* b) {
        return a->size != b->size ? a->size < b->size : std::strcmp(a->path, b->path) < 0;
    });
    keepOneViewOfEachFile(sorted);
    returnFreedMemory();  // what the walk's threads used and freed on the way

    // Candidates: the lengths shared by two or more files, the most bytes first.
    std::vector<SizeClass> classes;
    for (std::size_t first = 0; first < sorted.size();) {
        std::size_t end = first + 1;
        while (end < sorted.size() && sorted[end]->size == sorted[first]->size) ++end;
        if (end - first >= 2) classes.push_back({sorted[first]->size, first, end - first});
        first = end;
    }
    auto classBytes = [](std::int64_t size, std::size_t count) { return saturatingProduct(size, std::int64_t(count)); };
    std::stable_sort(classes.begin(), classes.end(),
                     [&](const SizeClass& a, const SizeClass& b) { return classBytes(a.size, a.count) > classBytes(b.size, b.count); });
    // The candidates in class order are items of the pools; item i lies in the class whose first
    // item is the last at or below i.
    std::vector<std::size_t> firstItems;
    std::int64_t totalBytes = 0;
    std::size_t items = 0;
    for (const SizeClass& sizeClass : classes) {
        firstItems.push_back(items);
        items += sizeClass.count;
        totalBytes = saturatingSum(totalBytes, classBytes(sizeClass.size, sizeClass.count));
    }
    auto classOf = [&](std::size_t item) { return std::size_t(std::upper_bound(firstItems.begin(), firstItems.end(), item) - firstItems.begin()) - 1; };
    const std::int64_t totalFiles = std::int64_t(items);

    HashMeter meter;
    GroupCollector collector(foundGroup, linkedFolders, wholes, projects, ownFiles, includeHidden || !windowsAttributes.anyMounted() ? nullptr : &windowsAttributes,
                             stop);
    auto report = [&] {
        if (!progress) return;
        HashMeter::Reading reading = meter.read();
        progress({DuplicateScanPhase::comparing, reading.path.value_or(rootPath), std::min(reading.files, totalFiles), totalFiles,
                  std::min(reading.bytes, totalBytes), totalBytes, collector.count()});
    };
    report();

    // The search may hold half the descriptors the process can still open, so that the rest of the
    // application keeps some: no more workers than that, and a range comparison holds no more files
    // open than one worker's share.
    const std::size_t descriptors = std::max(OpenFileLimit::available() / 2, std::size_t(1));
    const std::size_t workers = std::min(std::size_t(poolWorkerCount(WalkWorkers::activeProcessors(), SIZE_MAX)), descriptors);
    const std::size_t mostOpenPerComparison = std::min(SameSizeComparison::mostComparedFiles, descriptors / workers);
    std::mutex notComparedLock;
    std::vector<const char*> notCompared;

    // Sample stage: every candidate once, cheaply. A class is sifted by the worker that reads its last
    // file, so samples and identities are held for the classes being read, and afterwards only for
    // the files that share their sample with another. A file that found no descriptor is sampled
    // again after the pool, one at a time, when the search holds no other.
    std::vector<ClassSamples> sampled(classes.size());
    for (std::size_t k = 0; k < classes.size(); ++k) sampled[k].expect(classes[k].count);
    auto listed = [&](std::size_t k, std::size_t index) -> const ListedFile& { return *sorted[classes[k].first + index]; };
    auto sift = [&](std::size_t k) {
        const std::int64_t size = classes[k].size;
        std::unique_ptr<Sample[]> samples = sampled[k].take();
        std::vector<std::size_t> read;
        for (std::size_t i = 0; i < classes[k].count; ++i) {
            if (samples[i].identity) {
                read.push_back(i);
                continue;
            }
            creditBeyondSample(meter, 0, size);
            if (samples[i].trouble != ReadTrouble::changed) {
                std::lock_guard guard(notComparedLock);
                notCompared.push_back(listed(k, i).path);
            }
        }
        std::vector<Kept> kept;
        forEachDigestRun(read, [&](std::size_t i) -> const Digest& { return samples[i].digest; }, [&](std::span<std::size_t> run) {
            if (run.size() < 2) {
                creditBeyondSample(meter, 0, size);
                return;
            }
            for (std::size_t i : run) {
                const ListedFile& file = listed(k, i);
                kept.push_back({{file.path, file.size, file.modified, samples[i].identity}, samples[i].digest});
            }
        });
        sampled[k].keep(std::move(kept));
    };
    std::mutex retryLock;
    std::vector<std::size_t> sampleRetries;
    auto sample = [&](std::size_t item, bool lastTry) {
        const std::size_t k = classOf(item);
        const std::size_t index = item - firstItems[k];
        Sample& slot = sampled[k].samplesFor(index, classes[k].count)[index];
        const ListedFile& file = listed(k, index);
        SampleDigest digest = sampleDigest({file.path, file.size, file.modified, std::nullopt}, meter);
        if (digest.trouble == ReadTrouble::noDescriptor && !lastTry) {
            std::lock_guard guard(retryLock);
            sampleRetries.push_back(item);
            return;
        }
        if (digest.digest) slot = {digest.identity, *digest.digest, ReadTrouble::none};
        else slot.trouble = digest.trouble;
        meter.addFile();
        if (sampled[k].read()) sift(k);
    };
    runPool(items, meter, report, [&](std::size_t i) { sample(i, false); }, stop, workers);
    std::sort(sampleRetries.begin(), sampleRetries.end());
    runPool(sampleRetries.size(), meter, report, [&](std::size_t k) { sample(sampleRetries[k], true); }, stop, 1);
    // What may still join a group is kept by now: the list of every file goes before the groups
    // are made (the text of the paths stays in the arenas).
    sorted = std::vector<const ListedFile*>();
    for (WorkerIndex& index : indexes) index.files = std::deque<ListedFile>();
    returnFreedMemory();

    // Small files are settled by their samples; large ones that still agree wait for the full stage.
    std::vector<std::vector<const IndexedFile*>> fullBuckets;
    for (std::size_t k = 0; k < classes.size(); ++k) {
        const std::vector<Kept>& kept = sampled[k].kept();
        for (std::size_t first = 0; first < kept.size();) {
            std::vector<const IndexedFile*> files;
            std::size_t end = first;
            for (; end < kept.size() && kept[end].digest == kept[first].digest; ++end) files.push_back(&kept[end].file);
            if (classes[k].size > sampleLimit) {
                fullBuckets.push_back(std::move(files));
            } else {
                collector.add(files, kept[first].digest);
            }
            first = end;
        }
    }
    report();

    // Full stage: the largest buckets first, so the biggest savings show up early.
    std::stable_sort(fullBuckets.begin(), fullBuckets.end(), [&](const auto& a, const auto& b) {
        return classBytes(a.front()->size, a.size()) > classBytes(b.front()->size, b.size());
    });
    // Every range of a bucket compared side by side, and every file of one hashed file by file, is
    // an item, so a few large files keep all workers busy. Items go by range or file, then bucket:
    // each bucket's first range comes early, and with it the hashing that follows its comparison.
    using Comparison = std::variant<SameSizeComparison, FileByFileComparison>;
    struct Piece {
        std::size_t comparison;
        std::size_t part;  // a range of a side-by-side comparison, a file of a file-by-file one
    };
    std::deque<Comparison> comparisons;
    std::vector<Piece> pieces;
    for (std::vector<const IndexedFile*>& bucket : fullBuckets) {
        const std::size_t k = comparisons.size();
        if (bucket.size() <= mostOpenPerComparison) {
            auto& ranges = std::get<SameSizeComparison>(comparisons.emplace_back(std::in_place_type<SameSizeComparison>, std::move(bucket), meter));
            for (std::size_t range = 0; range < ranges.rangeCount(); ++range) pieces.push_back({k, range});
        } else {
            auto& each = std::get<FileByFileComparison>(comparisons.emplace_back(std::in_place_type<FileByFileComparison>, std::move(bucket), meter, true));
            for (std::size_t file = 0; file < each.fileCount(); ++file) pieces.push_back({k, file});
        }
    }
    fullBuckets = {};
    std::stable_sort(pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) { return a.part < b.part; });

    bool lastTry = false;
    std::vector<std::size_t> gaveUp;
    auto compare = [&](const Piece& piece) {
        Comparison& comparison = comparisons[piece.comparison];
        try {
            std::optional<std::vector<EqualFiles>> equal = std::visit(
                [&](auto& by) {
                    if constexpr (std::is_same_v<std::decay_t<decltype(by)>, SameSizeComparison>) return by.compare(piece.part);
                    else return by.compare(piece.part, lastTry);
                },
                comparison);
            if (!equal) return;
            if (auto* ranges = std::get_if<SameSizeComparison>(&comparison); ranges && ranges->gaveUp()) {
                std::lock_guard guard(retryLock);
                gaveUp.push_back(piece.comparison);
                return;
            }
            for (const auto& [digest, files] : *equal) collector.add(files, digest);
        } catch (const Cancelled&) {
            // The pool ends with Cancelled once its running items have stopped.
        }
    };
    auto runPieces = [&](std::size_t mostWorkers) {
        runPool(pieces.size(), meter, report, [&](std::size_t i) { compare(pieces[i]); }, stop, mostWorkers);
        pieces.clear();
    };
    runPieces(workers);
    // A comparison that met a file it could not read gave up: its files are hashed one by one.
    std::sort(gaveUp.begin(), gaveUp.end());
    for (std::size_t k : gaveUp) {
        const std::vector<const IndexedFile*>& files = std::get<SameSizeComparison>(comparisons[k]).files();
        comparisons.emplace_back(std::in_place_type<FileByFileComparison>, files, meter, false);
        for (std::size_t file = 0; file < files.size(); ++file) pieces.push_back({comparisons.size() - 1, file});
    }
    runPieces(workers);
    // The files that found no descriptor, one at a time now that the search holds no other.
    lastTry = true;
    for (std::size_t k = 0; k < comparisons.size(); ++k)
        if (auto* each = std::get_if<FileByFileComparison>(&comparisons[k]))
            for (std::size_t file : each->takeRetries()) pieces.push_back({k, file});
    runPieces(1);
    for (const Comparison& comparison : comparisons)
        if (auto* each = std::get_if<FileByFileComparison>(&comparison))
            for (const IndexedFile* file : each->notCompared()) notCompared.push_back(file->path);

    DuplicateSearchResult result;
    result.groups = collector.take();
    std::stable_sort(result.groups.begin(), result.groups.end(),
                     DuplicateGroup::freesMore);
    std::sort(notCompared.begin(), notCompared.end(), [](const char* a, const char* b) { return std::strcmp(a, b) < 0; });
    for (const char* path : notCompared) result.notCompared.emplace_back(path);
    return result;
}
