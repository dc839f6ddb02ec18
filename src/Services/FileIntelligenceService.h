#pragma once

#include "Models/CleanupCandidate.h"
#include "Models/DuplicateGroup.h"
#include "Models/DuplicateSearchResult.h"
#include "Models/DuplicateScanProgress.h"
#include "Models/ScannedFile.h"
#include "Models/WholeKind.h"
#include "Platform/EditorFiles.h"
#include "Foundation/Instant.h"
#include "Services/CandidateIdentity.h"
#include "Services/HashMeter.h"
#include "Services/Sha256.h"
#include "Services/TrashRequest.h"
#include "Services/TrashResult.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

// The service behind the duplicate finder, smart cleanup, developer caches and forgotten files, and
// behind moving what the user picked in them to the Trash. It keeps no state, so its searches may
// overlap; moves to the Trash run one call at a time, each to its end.
class FileIntelligenceService {
public:
    // A file found by a walk. `size` is the logical length for the duplicate finder, the allocated
    // size for forgotten files, which also keep the length to tell a file changed since the walk.
    struct FileRecord {
        std::string path;
        std::int64_t size = 0;
        std::optional<Instant> modified;
        std::int64_t length = 0;

        bool operator==(const FileRecord&) const = default;
    };

    using Clock = std::function<Instant()>;
    using ProgressCallback = std::function<void(const DuplicateScanProgress&)>;
    using FoundGroupCallback = std::function<void(const DuplicateGroup&)>;

    explicit FileIntelligenceService(Clock now = &Instant::now);

    // Cache and log folder entries and installers in the downloads folder: at most 80, largest first.
    // Safe only when idle, the user's to move and rebuilt by itself; one that is or holds a mount,
    // that the user cannot move or empty, that a process of the user holds, that holds what something
    // runs, that a link outside points into, that holds a whole or a program, or that is the
    // desktop's own is for review, with its reason. An installer that something runs is no
    // installer. A stop request is not passed on: folders then measure 0 and drop out.
    std::vector<CleanupCandidate> cleanupCandidates(std::stop_token stop = {});
    // The developer tools' cache folders that hold something, largest first.
    std::vector<CleanupCandidate> developerCandidates(std::stop_token stop = {});

    // Files of at least `minimumSize` allocated bytes last changed before `olderThanDays` calendar
    // days ago, outside hidden folders and packages: the largest 1000, each with its identity.
    // Throws ScanError, Cancelled.
    std::vector<ScannedFile> forgottenFiles(const std::filesystem::path& folder, int olderThanDays, std::int64_t minimumSize,
                                            std::stop_token stop = {});

    // Moves each existing item to the Trash, in order. A folder that is or holds a mount point stays
    // and is reported as refused. An item that is no longer the file listed, or
    // whose group's kept copy is gone or changed, stays and is reported as changed; one the Trash
    // refuses stays and is reported with its TrashError; the others are tried all the same.
    // Throws Cancelled.
    TrashResult moveToTrash(const std::vector<TrashRequest>& items, std::stop_token stop = {});

    // Groups of files with equal content of at least 1024 bytes, by the space a move would free, and
    // the candidates that could not be read. Groups reach `foundGroup` as they are confirmed; both
    // callbacks are called from any thread. Throws ScanError, Cancelled.
    DuplicateSearchResult duplicateGroups(const std::filesystem::path& folder, bool includeHidden, const ProgressCallback& progress,
                                                const FoundGroupCallback& foundGroup, std::stop_token stop = {});

    // The first `limit` of `records` (in their order) that are still the regular file of the length
    // and modification time the walk saw, each with its identity. Allocated blocks are no test: the
    // file system changes them without any change of content.
    static std::vector<ScannedFile> unchangedFiles(const std::vector<FileRecord>& records, std::size_t limit);

    static const std::unordered_set<std::string>& packageExtensions();
    // "Photos.photoslibrary", "X.APP"; not ".app", "app", "name.".
    static bool isPackageName(std::string_view name);
    // The folders the file searches never enter: packages, the trash folders as they are now, and
    // Windows's recycle bins and system folders.
    static std::function<bool(const std::string& directory, std::string_view name)> unsearchedFolders();

    // A file as the duplicate finder indexed it. `path` is NUL-terminated text owned by the search.
    struct IndexedFile {
        const char* path = nullptr;
        std::int64_t size = 0;  // logical length
        std::optional<Instant> modified;
        // Of the descriptor its sample was read through: every later read, the group and the move
        // take only that very file, never another put under its name since. Only a file whose
        // length another file shares is read, and only one whose sample another shares keeps it.
        std::optional<CandidateIdentity> identity;
    };
    // Files of equal content with the SHA-256 of that content.
    using EqualFiles = std::pair<Sha256::Digest, std::vector<const IndexedFile*>>;

    // Why a candidate was not read. A file gone or changed since it was indexed leaves the search;
    // one that cannot be read is reported as not compared, never as unlike the others; running out
    // of descriptors passes, so that file is tried again once the search's own are closed.
    enum class ReadTrouble { none, changed, unreadable, noDescriptor };
    struct SampleDigest {
        std::optional<Sha256::Digest> digest;
        ReadTrouble trouble = ReadTrouble::none;
        std::optional<CandidateIdentity> identity;  // of the file read, with a digest
    };

    // The duplicate finder's hashing. Samples are the whole file up to 128 KiB, else its first and
    // last 64 KiB; none when the file cannot be opened or read, or when its length or date differ
    // from the index. With a digest goes the identity of the file read.
    static constexpr std::int64_t sampleLimit = 131072;
    static constexpr std::int64_t sampleChunk = 65536;
    static SampleDigest sampleDigest(const IndexedFile& file, HashMeter& meter);
    static std::string hex(const Sha256::Digest& digest);
    // Twice the processors, four on a single processor, never more than the items.
    static int poolWorkerCount(int activeProcessors, std::size_t count);
    // Calls `body` for every index below `count` on a pool of at most `mostWorkers` threads, `report`
    // every 0.12 s and at the end. On a stop request the running items finish, no new one starts, and
    // Cancelled is thrown.
    static void runPool(std::size_t count, HashMeter& meter, const std::function<void()>& report,
                        const std::function<void(std::size_t)>& body, std::stop_token stop, std::size_t mostWorkers = SIZE_MAX);

    // A location's blocks on disk, each file counted once however many of its names lie beneath it,
    // what moving it frees, and the whole it is or holds (a folder below it marks one).
    // Also whether it holds a program the loader starts outside what its tool rebuilds, how many
    // folders beneath it could not be read, a folder beneath it this user may not change, and the
    // editor's file it is or holds that weighs most (of those, the first by path).
    struct Measure {
        std::int64_t size = 0;
        FreedSpace freed;
        std::optional<WholeKind> whole;
        bool program = false;
        int unreadableFolders = 0;
        std::string unchangeable;
        EditorFile editor = EditorFile::none;
        std::string editorFile;
    };

private:
    // Measures every location, stopping at the mount points given, spelled as below the locations: a
    // move would refuse what another file system holds. A stop request leaves the folders at 0. A
    // final symbolic link is not followed: it measures 0.
    std::vector<Measure> measure(const std::vector<std::filesystem::path>& locations, const std::unordered_set<std::string>& mountPoints,
                                 std::stop_token stop);

    Clock now_;
    std::mutex trashLock_;
};
