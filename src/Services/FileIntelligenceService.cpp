#include "Services/FileIntelligenceService.h"

#include "Foundation/AllocatedBytes.h"
#include "Foundation/FileDescriptor.h"
#include "Foundation/PathText.h"
#include "Foundation/SaturatingSum.h"
#include "Models/TextKey.h"
#include "Models/WholeText.h"
#include "Platform/BlockSharingFolders.h"
#include "Platform/DirectoryReader.h"
#include "Platform/FilesInUse.h"
#include "Platform/EditorFiles.h"
#include "Platform/ElfImage.h"
#include "Platform/FolderListing.h"
#include "Platform/HomeLinks.h"
#include "Platform/LinuxLocations.h"
#include "Platform/MountPoints.h"
#include "Platform/RealPath.h"
#include "Platform/SharedExtents.h"
#include "Platform/StandardizedPath.h"
#include "Platform/SystemRoots.h"
#include "Platform/Trash.h"
#include "Platform/TrashFolders.h"
#include "Platform/WindowsLayout.h"
#include "Platform/WholeMarkers.h"
#include "Foundation/Cancelled.h"
#include "Services/FastTreeWalk.h"
#include "Services/MovedNames.h"
#include "Platform/KindDescriptions.h"
#include "Services/ScanError.h"
#include "Services/UninstallerService.h"

#include <QDateTime>
#include <QTimeZone>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <future>
#include <limits>
#include <map>
#include <set>
#include <unordered_set>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace {

struct CleanupSource {
    std::string_view folder;  // below the home folder, as the tools name it everywhere
    const char* titleKey;
    const char* detailKey;
    const char* kind;
};

constexpr std::array cleanupSources{
    CleanupSource{"Library/Caches", textKey("cleanup.cache"), textKey("cleanup.cache.detail"), "cache"},
    CleanupSource{"Library/Logs", textKey("cleanup.logs"), textKey("cleanup.logs.detail"), "log"},
};

// The disk images and installer packages of the other desktop first, then the Linux ones.
constexpr std::array<std::string_view, 8> installerExtensions{"dmg", "pkg", "ipsw", "deb", "rpm", "appimage", "flatpakref", "snap"};

struct DeveloperCache {
    std::string_view folder;
    const char* titleKey;
    const char* detailKey;
    CleanupSafety safety;
};

constexpr std::array developerCaches{
    DeveloperCache{"Library/Developer/Xcode/DerivedData", textKey("developer.derivedData"), textKey("developer.derivedData.detail"), CleanupSafety::safe},
    DeveloperCache{"Library/Developer/Xcode/Archives", textKey("developer.archives"), textKey("developer.archives.detail"), CleanupSafety::review},
    DeveloperCache{"Library/Developer/CoreSimulator/Caches", textKey("developer.simulator"), textKey("developer.simulator.detail"), CleanupSafety::safe},
    DeveloperCache{"Library/Caches/Homebrew", textKey("developer.homebrew"), textKey("developer.homebrew.detail"), CleanupSafety::safe},
    DeveloperCache{".npm/_cacache", textKey("developer.npm"), textKey("developer.npm.detail"), CleanupSafety::safe},
    DeveloperCache{".gradle/caches", textKey("developer.gradle"), textKey("developer.gradle.detail"), CleanupSafety::safe},
    DeveloperCache{"Library/Caches/Yarn", textKey("developer.yarn"), textKey("developer.yarn.detail"), CleanupSafety::safe},
    DeveloperCache{"Library/Caches/pnpm", textKey("developer.pnpm"), textKey("developer.pnpm.detail"), CleanupSafety::safe},
    DeveloperCache{"Library/Caches/org.swift.swiftpm", textKey("developer.swiftpm"), textKey("developer.swiftpm.detail"), CleanupSafety::safe},
    DeveloperCache{"Library/Caches/com.docker.docker", textKey("developer.docker"), textKey("developer.docker.detail"), CleanupSafety::safe},
    DeveloperCache{"Library/Caches/CocoaPods", textKey("developer.cocoapods"), textKey("developer.cocoapods.detail"), CleanupSafety::safe},
};

constexpr std::size_t cleanupLimit = 80;
constexpr std::size_t forgottenLimit = 1000;

// Odd XDG settings can make a "cache" of the home folder or put the trash inside one: the user's
// folders, the trash, what lies in it and what holds it are never proposed.
bool mayBeProposed(const std::filesystem::path& location, const SystemRoots& roots, const TrashFolders& trash) {
    return !roots.holdsPersonalFolder(location) && !trash.isWithinTrash(location) && !trash.holdsHomeTrash(location);
}

// The entries of a folder that are not hidden, in the order the file system lists them; nothing when
// Linux has no such folder or it cannot be read.
std::vector<std::filesystem::path> shallowListing(std::string_view folder, const SystemRoots& roots, const TrashFolders& trash) {
    std::vector<std::filesystem::path> shown;
    for (const auto& place : LinuxLocations::folders(folder, roots)) {
        for (auto& entry : FolderListing::entries(place).value_or(std::vector<std::filesystem::path>())) {
            if (!FolderListing::isHidden(entry) && mayBeProposed(entry, roots, trash)) shown.push_back(std::move(entry));
        }
    }
    return shown;
}

// The first Linux folder for a folder of the tables; an empty path, which measures nothing, when none.
std::filesystem::path linuxFolder(std::string_view folder, const SystemRoots& roots, const TrashFolders& trash) {
    auto places = LinuxLocations::folders(folder, roots);
    if (places.empty() || !mayBeProposed(places.front(), roots, trash)) return {};
    return places.front();
}

struct Proposal {
    std::filesystem::path location;
    const char* titleKey;
    const char* detailKey;
    CleanupSafety safety;
    const char* kind;
};

// The folder, the item's own or the one holding it, that keeps this user from moving the item to the
// Trash: a move renames it out of its folder, and a folder moved has its ".." changed too. In a
// folder with the sticky bit only the owner of the item or of the folder may.
std::optional<std::filesystem::path> unmovableAt(const std::filesystem::path& item) {
    struct stat own {}, holder {};
    const std::filesystem::path folder = item.parent_path();
    if (::lstat(item.c_str(), &own) != 0 || ::stat(folder.c_str(), &holder) != 0) return std::nullopt;
    if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0 && errno != ENOENT) return folder;
    if ((holder.st_mode & S_ISVTX) && ::geteuid() != 0 && own.st_uid != ::geteuid() && holder.st_uid != ::geteuid()) return folder;
    if (S_ISDIR(own.st_mode) && ::faccessat(AT_FDCWD, item.c_str(), W_OK, AT_EACCESS | AT_SYMLINK_NOFOLLOW) != 0 && errno != ENOENT) return item;
    return std::nullopt;
}

// A path as the user reads it in a reason: below the home folder as "~/…".
QString shownPath(const std::filesystem::path& path, const SystemRoots& roots) {
    const std::filesystem::path home = realPath(roots.home).value_or(roots.home);
    for (const std::filesystem::path& base : {home, roots.home}) {
        const std::filesystem::path inside = path.lexically_relative(base);
        if (!inside.empty() && *inside.begin() != ".." && inside != ".") return QStringLiteral("~/") + PathText::display(inside);
    }
    return PathText::display(path);
}

// Candidates of at least one byte, largest first; equal sizes keep the order proposed. What the
// measuring walk found decides first: a folder the user cannot change, then an editor's unsaved work
// or history, then a whole, then a program.
std::vector<CleanupCandidate> rankedCandidates(const std::vector<Proposal>& proposals, std::vector<FileIntelligenceService::Measure> measures,
                                               const SystemRoots& roots) {
    std::vector<CleanupCandidate> candidates;
    for (std::size_t i = 0; i < proposals.size(); ++i) {
        if (measures[i].size < 1) continue;
        const Proposal& proposal = proposals[i];
        // What a move checks against: the file, or the folder (not its contents, which may change).
        std::optional<FileIdentity> identity = FileIdentity::at(proposal.location);
        if (identity && identity->type != S_IFREG && identity->type != S_IFDIR) identity.reset();
        candidates.push_back({proposal.location.string(), QString::fromUtf8(proposal.titleKey), QString::fromUtf8(proposal.detailKey),
                              proposal.location, measures[i].size, proposal.safety, QString::fromUtf8(proposal.kind), identity,
                              std::move(measures[i].freed)});
        CleanupCandidate& candidate = candidates.back();
        candidate.unreadableFolders = measures[i].unreadableFolders;
        std::optional<std::filesystem::path> unchangeable = unmovableAt(proposal.location);
        if (!unchangeable && !measures[i].unchangeable.empty()) unchangeable = measures[i].unchangeable;
        if (unchangeable) {
            candidate.reason = CleanupReason::cannotMove;
            candidate.reasonDetail = shownPath(*unchangeable, roots);
        } else if (measures[i].editor != EditorFile::none) {
            candidate.reason = measures[i].editor == EditorFile::unsavedWork ? CleanupReason::unsavedWork : CleanupReason::editHistory;
            candidate.reasonDetail = shownPath(measures[i].editorFile, roots);
        } else if (const char* whole = measures[i].whole ? wholeTextKey(*measures[i].whole) : nullptr) {
            candidate.reason = CleanupReason::holdsWhole;
            candidate.reasonDetail = QString::fromUtf8(whole);
        } else if (measures[i].program && std::string_view(proposal.kind) != "installer") {
            // An installer is a program fetched by hand; it says so as it is.
            candidate.reason = CleanupReason::holdsProgram;
        }
    }
    std::stable_sort(candidates.begin(), candidates.end(), [](const auto& a, const auto& b) { return a.size > b.size; });
    return candidates;
}

// Whether an item is another file system's top: the folder that holds it lies on another.
bool isMountTop(const std::filesystem::path& item) {
    struct stat own {}, above {};
    return ::lstat(item.c_str(), &own) == 0 && ::stat(item.parent_path().c_str(), &above) == 0 && own.st_dev != above.st_dev;
}

// Where items lie, as `locatedPath` tells, with each folder that holds them resolved once: a load
// asks about every candidate several times, and nearly all of them share one folder.
class LocatedPaths {
public:
    std::filesystem::path of(const std::filesystem::path& item) {
        auto [folder, isNew] = folders_.try_emplace(item.parent_path().native());
        if (isNew) folder->second = realPath(item.parent_path());
        return folder->second ? *folder->second / item.filename() : item;
    }

private:
    std::unordered_map<std::string, std::optional<std::filesystem::path>> folders_;
};

// What keeps a candidate from being ticked, read once for a whole load: the files the user's
// processes hold, the places entries and the home's programs run, the mounts.
struct InUse {
    PlaceIndex held;
    PlaceIndex run;
    MountPoints mounts;
    PlaceIndex linked;

    // The mounts at once, for the walk; the rest while the folders are listed and measured, since
    // reading every process's files takes about as long as the walk itself, and the home's links
    // beside them. Of what processes hold and links point to, only what lies in `folders` is kept:
    // the candidates or the folders that list them, located as the candidates are when they are judged.
    static std::future<InUse> read(const SystemRoots& roots, std::vector<std::filesystem::path> folders, MountPoints& mounts) {
        mounts = MountPoints::of(roots);
        return std::async(std::launch::async, [roots, folders = std::move(folders), mounts] {
            std::future<PlaceIndex> links = std::async(std::launch::async, [&] { return HomeLinks::read(roots, folders, mounts); });
            InUse inUse{FilesInUse::read(roots, folders), UninstallerService::placesRun(), mounts, {}};
            inUse.linked = links.get();
            return inUse;
        });
    }

    // The mount points inside the folders, as the measuring walk spells their paths: it enters none.
    static std::unordered_set<std::string> mountsWithin(const MountPoints& mounts, const std::vector<std::filesystem::path>& folders, LocatedPaths& located) {
        std::unordered_set<std::string> inside;
        for (const std::filesystem::path& folder : folders) {
            if (folder.empty()) continue;
            const std::filesystem::path place = located.of(folder);
            for (const std::filesystem::path& point : mounts.within(place))
                if (point != place) inside.insert((folder / point.lexically_relative(place)).lexically_normal().native());
        }
        return inside;
    }

    // Only a candidate that is idle, the user's to move and rebuilt by itself stays safe; any other
    // is for the user to review, with the first reason that holds: a mount, a folder the user cannot
    // change, a process, a program run, a link from outside, an editor's file, a whole or a program
    // (all three found by the measuring walk), the desktop's own, what its program does not rebuild.
    void judge(CleanupCandidate& candidate, const SystemRoots& roots, LocatedPaths& located) const {
        const std::filesystem::path place = located.of(candidate.path);
        auto give = [&](CleanupReason reason, QString detail) { candidate.reason = reason, candidate.reasonDetail = std::move(detail); };
        if (mounts.atOrBelow(place) || isMountTop(candidate.path)) give(CleanupReason::mount, {});
        else if (candidate.reason == CleanupReason::cannotMove) {}
        else if (auto program = held.within(place)) give(CleanupReason::inUse, PathText::display(*program));
        else if (auto runner = run.within(place)) give(CleanupReason::runsProgram, PathText::display(*runner));
        else if (auto link = linked.within(place)) give(CleanupReason::linked, shownPath(*link, roots));
        else if (candidate.reason != CleanupReason::none) {}
        else if (LinuxLocations::isSharedFolder(candidate.path, roots) && !LinuxLocations::isRebuiltByTheDesktop(candidate.path, roots))
            give(CleanupReason::desktopOwn, {});
        else if (LinuxLocations::isKeptByItsProgram(candidate.path, roots)) give(CleanupReason::notRebuilt, {});
        if (candidate.reason != CleanupReason::none) candidate.safety = CleanupSafety::review;
    }
};

// `days` calendar days before `now` in local time; the distant past when the calendar has no such day.
// A time of day that the clocks skipped on that day (a daylight-saving gap) gives the first instant
// after the gap.
Instant cutoffBefore(Instant now, int days) {
    const auto distantPast = Instant::fromReferenceSeconds(std::numeric_limits<double>::lowest());
    const QDateTime moment = QDateTime::fromMSecsSinceEpoch(qint64(now.unixSeconds() * 1000.0));
    // Through the date: QDateTime::addDays wraps silently for millions of days.
    const QDate day = moment.date().addDays(-qint64(days));
    if (!day.isValid()) return distantPast;
    QDateTime cutoff(day, moment.time());
    if (!cutoff.isValid()) {
        const QTimeZone zone = QTimeZone::systemTimeZone();
        QTimeZone::OffsetData change = zone.nextTransition(day.startOfDay());
        while (change.atUtc.isValid() && change.atUtc.toLocalTime().date() == day && change.atUtc.toLocalTime().time() < moment.time())
            change = zone.nextTransition(change.atUtc);
        cutoff = change.atUtc;
        if (!cutoff.isValid()) return distantPast;
    }
    return Instant::fromUnixSeconds(double(cutoff.toMSecsSinceEpoch()) / 1000.0);
}

}  // namespace

FileIntelligenceService::FileIntelligenceService(Clock now) : now_(std::move(now)) {}

std::vector<CleanupCandidate> FileIntelligenceService::cleanupCandidates(std::stop_token stop) {
    const SystemRoots roots = SystemRoots::current();
    const TrashFolders trash = TrashFolders::current();
    // The folders whose entries are proposed, as their entries are located.
    std::vector<std::filesystem::path> listed;
    auto list = [&](std::string_view folder) {
        for (const std::filesystem::path& place : LinuxLocations::folders(folder, roots)) listed.push_back(realPath(place).value_or(place));
    };
    for (const CleanupSource& source : cleanupSources) list(source.folder);
    list("Downloads");
    MountPoints mounts;
    std::future<InUse> reading = InUse::read(roots, std::move(listed), mounts);
    std::vector<Proposal> proposals;
    for (const CleanupSource& source : cleanupSources) {
        for (auto& entry : shallowListing(source.folder, roots, trash))
            proposals.push_back({entry, source.titleKey, source.detailKey, CleanupSafety::safe, source.kind});
    }
    for (auto& entry : shallowListing("Downloads", roots, trash)) {
        std::string extension = FolderListing::lowercaseExtension(entry);
        if (std::find(installerExtensions.begin(), installerExtensions.end(), extension) == installerExtensions.end()) continue;
        proposals.push_back({entry, textKey("cleanup.installers"), textKey("cleanup.installers.detail"), CleanupSafety::review, "installer"});
    }
    std::vector<std::filesystem::path> locations;
    for (const Proposal& proposal : proposals) locations.push_back(proposal.location);
    LocatedPaths located;
    std::vector<CleanupCandidate> candidates = rankedCandidates(proposals, measure(locations, InUse::mountsWithin(mounts, locations, located), stop), roots);
    const InUse inUse = reading.get();
    // An AppImage or a program that something runs is installed where it lies.
    std::erase_if(candidates, [&](const CleanupCandidate& candidate) { return candidate.kind == QLatin1String("installer") && inUse.run.within(located.of(candidate.path)); });
    if (candidates.size() > cleanupLimit) candidates.resize(cleanupLimit);
    for (CleanupCandidate& candidate : candidates) inUse.judge(candidate, roots, located);
    return candidates;
}

std::vector<CleanupCandidate> FileIntelligenceService::developerCandidates(std::stop_token stop) {
    const SystemRoots roots = SystemRoots::current();
    const TrashFolders trash = TrashFolders::current();
    std::vector<Proposal> proposals;
    std::vector<std::filesystem::path> locations;
    for (const DeveloperCache& row : developerCaches) {
        // A row without a Linux folder stays in the table and measures nothing.
        std::filesystem::path location = linuxFolder(row.folder, roots, trash);
        proposals.push_back({location, row.titleKey, row.detailKey, row.safety, "developer"});
        locations.push_back(location);
    }
    LocatedPaths located;
    std::vector<std::filesystem::path> places;
    for (const std::filesystem::path& location : locations)
        if (!location.empty()) places.push_back(located.of(location));
    MountPoints mounts;
    std::future<InUse> reading = InUse::read(roots, std::move(places), mounts);
    std::vector<CleanupCandidate> candidates = rankedCandidates(proposals, measure(locations, InUse::mountsWithin(mounts, locations, located), stop), roots);
    const InUse inUse = reading.get();
    for (CleanupCandidate& candidate : candidates) inUse.judge(candidate, roots, located);
    return candidates;
}

namespace {

// What a worker met beneath one folder.
struct FolderTally {
    std::int64_t singleNamedSize = 0;
    std::int64_t singleNamedFreed = 0;
    bool compressed = false;
    std::unordered_map<FreedSpace::FileKey, FreedSpace::LinkedFile, FreedSpace::FileKeyHash> linked;  // files of several names
    // Folders that hold a program the loader starts, each met once in a row.
    std::vector<std::string> programFolders;
    int unreadableFolders = 0;
    std::string unchangeable;  // the first folder met that this user may not change
    EditorFile editor = EditorFile::none;
    std::string editorFile;

    // Keeps the editor's file that weighs most, of those the first by path, whatever order the
    // workers meet them in.
    void noteEditorFile(EditorFile kind, std::string path) {
        if (kind < editor || kind == EditorFile::none || (kind == editor && !(path < editorFile))) return;
        editor = kind;
        editorFile = std::move(path);
    }
};

// Whether a folder met by the walk can be read and emptied by this user: an unreadable folder is
// neither measured nor removed from the Trash, and a read-only one keeps what it holds.
void checkAccess(FolderTally& folder, const std::string& path) {
    constexpr int asMet = AT_EACCESS | AT_SYMLINK_NOFOLLOW;  // never what a link put there since points to
    if (::faccessat(AT_FDCWD, path.c_str(), R_OK | W_OK | X_OK, asMet) == 0 || errno != EACCES) return;
    if (::faccessat(AT_FDCWD, path.c_str(), R_OK | X_OK, asMet) != 0 && errno == EACCES) ++folder.unreadableFolders;
    if (folder.unchangeable.empty()) folder.unchangeable = path;
}

// Whether a folder lies in one of `folders` or is one.
bool liesInAny(const std::string& folder, const std::set<std::string>& folders) {
    for (std::string place = folder;; place.erase(place.rfind('/'))) {
        if (folders.contains(place)) return true;
        if (place.rfind('/') == std::string::npos || place.rfind('/') == 0) return false;
    }
}

// An entry that may mark a whole, where a worker met it.
struct Marker {
    std::size_t root;
    std::string directory;
    DirectoryEntry entry;
};

struct WorkerTally {
    std::vector<FolderTally> folders;
    std::vector<Marker> markers;
    // The last folder asked whether its file system shares blocks, and the answer.
    std::string sharingFolder;
    bool sharing = false;
};

}  // namespace

std::vector<FileIntelligenceService::Measure> FileIntelligenceService::measure(const std::vector<std::filesystem::path>& locations,
                                                                               const std::unordered_set<std::string>& mountPoints, std::stop_token stop) {
    std::vector<Measure> measures(locations.size());
    std::vector<std::string> folders;
    std::vector<std::size_t> positions;
    for (std::size_t i = 0; i < locations.size(); ++i) {
        struct stat status {};
        if (locations[i].empty() || ::lstat(locations[i].c_str(), &status) != 0) continue;
        if (S_ISREG(status.st_mode)) {
            const std::int64_t allocated = allocatedBytes(static_cast<std::uint64_t>(status.st_blocks));
            const SharedExtents::Map extents =
                BlockSharingFolders::sharesBlocks(locations[i].parent_path()) ? SharedExtents::ofFileSystems().map(locations[i].c_str()) : SharedExtents::Map{};
            measures[i].size = allocated;
            measures[i].freed = FreedSpace::ofName(FileIdentity::of(status), allocated, extents.shared, extents.compressed);
            measures[i].program = (status.st_mode & 0111) && ElfImages::kindOfFile(locations[i]) == ElfImage::program;
            measures[i].editor = EditorFiles::kindOf(locations[i].parent_path().native(), locations[i].filename().native(), std::int64_t(status.st_size));
            if (measures[i].editor != EditorFile::none) measures[i].editorFile = locations[i].native();
        } else if (S_ISDIR(status.st_mode)) {
            folders.push_back(locations[i].string());
            positions.push_back(i);
            measures[i].whole = WholeMarkers::wholeMarked(-1, locations[i].filename().native(), {});
        }
    }
    if (folders.empty()) return measures;
    const BlockSharingFolders sharing(folders);
    try {
        // What another file system holds is not measured: a move would refuse it.
        auto mounted = [&](const std::string& directory, std::string_view name) {
            return !mountPoints.empty() && mountPoints.contains(directory + "/" + std::string(name));
        };
        auto perWorker = FastTreeWalk::run<WorkerTally>(
            folders, true, mounted, nullptr, [&] { return WorkerTally{std::vector<FolderTally>(folders.size()), {}, {}, false}; },
            [&sharing, &mounted](WorkerTally& worker, std::int64_t root, const std::string& directory, const DirectoryEntry& entry) {
                if (WholeMarkers::mayMark(entry.name)) worker.markers.push_back({std::size_t(root), directory, entry});
                FolderTally& folder = worker.folders[std::size_t(root)];
                if (entry.type == DirectoryEntry::Kind::directory && !mounted(directory, entry.name)) checkAccess(folder, directory + "/" + entry.name);
                if (entry.type != DirectoryEntry::Kind::file) return;
                if (const EditorFile kind = EditorFiles::kindOf(directory, entry.name, entry.logicalSize); kind != EditorFile::none)
                    folder.noteEditorFile(kind, directory + "/" + entry.name);
                // Only a file that may be run is read, and in a folder known to hold a program none more.
                if (entry.executable && (folder.programFolders.empty() || folder.programFolders.back() != directory) &&
                    ElfImages::kindOfFile(directory + "/" + entry.name) == ElfImage::program)
                    folder.programFolders.push_back(directory);
                // Extent maps are read only where blocks can be shared, and the file system is asked
                // once per folder at most.
                if (sharing.anyMayShare() && worker.sharingFolder != directory) {
                    worker.sharingFolder = directory;
                    worker.sharing = sharing.mayShare(root, directory);
                }
                const SharedExtents::Map extents = worker.sharing ? SharedExtents::ofFileSystems().map((directory + "/" + entry.name).c_str()) : SharedExtents::Map{};
                const std::int64_t freed = FreedSpace::unsharedBlocks(entry.allocatedSize, extents.shared);
                folder.compressed |= extents.compressed && freed > 0;
                if (entry.linkCount > 1) {
                    auto [met, isNew] = folder.linked.try_emplace({entry.device, entry.inode});
                    if (isNew) met->second = {entry.device, entry.inode, entry.linkCount, 0, freed, entry.allocatedSize};
                    ++met->second.names;
                } else {
                    folder.singleNamedSize = saturatingSum(folder.singleNamedSize, entry.allocatedSize);
                    folder.singleNamedFreed = saturatingSum(folder.singleNamedFreed, freed);
                }
            },
            stop);
        std::vector<std::vector<std::string>> programFolders(positions.size());
        for (std::size_t j = 0; j < positions.size(); ++j) {
            // The names of one file met by several workers add up; the file counts once.
            FolderTally merged;
            for (WorkerTally& worker : perWorker) {
                FolderTally& part = worker.folders[j];
                merged.singleNamedSize = saturatingSum(merged.singleNamedSize, part.singleNamedSize);
                merged.singleNamedFreed = saturatingSum(merged.singleNamedFreed, part.singleNamedFreed);
                merged.programFolders.insert(merged.programFolders.end(), part.programFolders.begin(), part.programFolders.end());
                merged.unreadableFolders += part.unreadableFolders;
                if (merged.unchangeable.empty() || (!part.unchangeable.empty() && part.unchangeable < merged.unchangeable)) merged.unchangeable = part.unchangeable;
                merged.compressed |= part.compressed;
                merged.noteEditorFile(part.editor, std::move(part.editorFile));
                if (merged.linked.empty()) {
                    merged.linked = std::move(part.linked);
                    continue;
                }
                for (auto& [key, file] : part.linked) {
                    auto [met, isNew] = merged.linked.try_emplace(key, file);
                    if (!isNew) met->second.names += file.names;
                }
            }
            Measure& measure = measures[positions[j]];
            programFolders[j] = std::move(merged.programFolders);
            measure.unreadableFolders = merged.unreadableFolders;
            measure.unchangeable = std::move(merged.unchangeable);
            measure.editor = merged.editor;
            measure.editorFile = std::move(merged.editorFile);
            measure.size = merged.singleNamedSize;
            measure.freed.singleNamedBytes = merged.singleNamedFreed;
            measure.freed.upTo = merged.compressed;
            measure.freed.linked.reserve(merged.linked.size());
            for (const auto& [key, file] : merged.linked) {
                measure.size = saturatingSum(measure.size, file.allocated);
                measure.freed.linked.push_back(file);
            }
        }
        // The folders met holding a marker, each judged once with the markers found in it.
        std::map<std::pair<std::size_t, std::string>, std::vector<DirectoryEntry>> marked;
        for (WorkerTally& worker : perWorker)
            for (Marker& marker : worker.markers) marked[{marker.root, marker.directory}].push_back(std::move(marker.entry));
        // A build's output or a tagged cache is rebuilt by its tool, programs included: only the
        // other wholes are kept, and the rebuilt folders noted for the programs.
        std::vector<std::set<std::string>> rebuilt(positions.size());
        for (const auto& [place, entries] : marked) {
            std::optional<WholeKind>& whole = measures[positions[place.first]].whole;
            for (const DirectoryEntry& entry : entries) {
                if (entry.type != DirectoryEntry::Kind::directory) continue;
                const std::optional<WholeKind> own = WholeMarkers::wholeMarked(-1, entry.name, {});
                if (own == WholeKind::buildOutput) rebuilt[place.first].insert(place.second + "/" + entry.name);
                else if (!whole) whole = own;
            }
            if (whole) continue;  // a whole is said before a program
            const FileDescriptor folder(::open(place.second.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            const std::optional<WholeKind> held = WholeMarkers::wholeMarked(folder.get(), std::filesystem::path(place.second).filename().native(), entries);
            if (held == WholeKind::buildOutput) rebuilt[place.first].insert(place.second);
            else if (!whole) whole = held;
        }
        for (std::size_t j = 0; j < positions.size(); ++j)
            measures[positions[j]].program = std::any_of(programFolders[j].begin(), programFolders[j].end(),
                                                         [&](const std::string& folder) { return !liesInAny(folder, rebuilt[j]); });
    } catch (const Cancelled&) {
        // A stopped measurement leaves the folders at 0, so they drop out; the files keep their sizes.
    }
    return measures;
}

std::vector<ScannedFile> FileIntelligenceService::forgottenFiles(const std::filesystem::path& folder, int olderThanDays,
                                                                 std::int64_t minimumSize, std::stop_token stop) {
    const Instant cutoff = cutoffBefore(now_(), olderThanDays);
    const std::filesystem::path standardized = standardizedPath(folder);
    const std::string rootPath = realPath(standardized).value_or(standardized).native();  // links inside are not followed
    std::vector<DirectoryEntry> scratch;
    if (!DirectoryReader::read(rootPath, scratch)) throw ScanError::cannotOpen(folder);
    // What lies in a trash is already thrown away.
    if (TrashFolders::current().isWithinTrash(rootPath)) return {};

    using Records = std::vector<FileRecord>;
    auto perWorker = FastTreeWalk::run<Records>(
        {rootPath}, false, unsearchedFolders(), nullptr, [] { return Records(); },
        [&](Records& records, std::int64_t, const std::string& directory, const DirectoryEntry& entry) {
            if (entry.type != DirectoryEntry::Kind::file || entry.allocatedSize < minimumSize) return;
            if (!entry.modified || !(*entry.modified < cutoff)) return;
            records.push_back({directory + "/" + entry.name, entry.allocatedSize, entry.modified, entry.logicalSize});
        },
        stop);

    Records records;
    for (Records& part : perWorker) records.insert(records.end(), std::make_move_iterator(part.begin()), std::make_move_iterator(part.end()));
    std::stable_sort(records.begin(), records.end(), [](const auto& a, const auto& b) { return a.size > b.size; });
    std::vector<ScannedFile> files = unchangedFiles(records, forgottenLimit);
    // Blocks shared with another file are not freed by moving this one.
    const BlockSharingFolders sharing({rootPath});
    for (ScannedFile& file : files)
        if (sharing.mayShare(0, file.path.parent_path().string())) {
            const SharedExtents::Map extents = SharedExtents::ofFileSystems().map(file.path.c_str());
            file.sharedBytes = extents.shared;
            file.compressed = extents.compressed;
        }
    return files;
}

std::vector<ScannedFile> FileIntelligenceService::unchangedFiles(const std::vector<FileRecord>& records, std::size_t limit) {
    KindDescriptions kinds;
    std::vector<ScannedFile> files;
    for (const FileRecord& record : records) {
        if (files.size() >= limit) break;
        std::filesystem::path location(record.path);
        // The identity a move checks against. A path too long for the system to name in one call is
        // listed without one; nothing can move it by that path either.
        struct stat status {};
        std::optional<FileIdentity> identity;
        if (::lstat(location.c_str(), &status) == 0) {
            identity = FileIdentity::of(status);
            if (identity->type != S_IFREG || identity->size != record.length || !record.modified ||
                Instant::fromTimespec(identity->modifiedSeconds, identity->modifiedNanoseconds) != *record.modified)
                continue;
        } else if (errno != ENAMETOOLONG) {
            continue;
        }
        files.push_back({Uuid::random(), location, record.size, record.modified, kinds.kind(location), identity});
    }
    return files;
}

TrashResult FileIntelligenceService::moveToTrash(const std::vector<TrashRequest>& items, std::stop_token stop) {
    std::lock_guard serial(trashLock_);
    const MountPoints mounts = MountPoints::of(SystemRoots::current());
    TrashResult result;
    MovedNames moves;
    for (std::size_t position = 0; position < items.size(); ++position) {
        const TrashRequest& item = items[position];
        if (stop.stop_requested()) throw Cancelled();
        // A copy goes only while the copy its group keeps is still there as listed: else it may be
        // the last one, or no longer equal to it.
        // What changed is then the kept copy, named once however many of its copies stay.
        if (item.kept && FileIdentity::at(item.kept->path) != moves.expected(item.kept->identity)) {
            if (std::find(result.changed.begin(), result.changed.end(), item.kept->path) == result.changed.end())
                result.changed.push_back(item.kept->path);
            continue;
        }
        // A folder that holds a mount made since the listing would carry that file system along.
        if (struct stat status {}; ::lstat(item.path.c_str(), &status) == 0 && S_ISDIR(status.st_mode) && mounts.atOrBelow(locatedPath(item.path))) {
            result.failed.emplace_back(TrashError::Reason::mounted, item.path, EBUSY);
            continue;
        }
        try {
            // Nothing there (a link whose target is gone included) counts as already removed.
            const auto expected = moves.expected(item.identity);
            if (const auto location = Trash::moveToTrash(item.path, {.expected = expected})) {
                result.moved.push_back(position);
                if (item.identity) moves.moved(*item.identity, *expected, *location);
            }
        } catch (const TrashError& error) {
            // One item the Trash refuses (no permission, a file system without a trash, the trash's
            // own contents) never keeps the others.
            if (error.reason() == TrashError::Reason::changed) result.changed.push_back(item.path);
            else result.failed.push_back(error);
        }
    }
    return result;
}

const std::unordered_set<std::string>& FileIntelligenceService::packageExtensions() {
    static const std::unordered_set<std::string> extensions{
        "app",          "appex", "bundle",       "framework", "plugin",       "kext",         "xpc",       "photoslibrary",
        "photolibrary", "musiclibrary", "tvlibrary", "aplibrary", "fcpbundle", "logicx",    "band",         "imovielibrary",
        "xcarchive",    "xcodeproj", "xcworkspace", "playground", "rtfd",       "pages",        "numbers",   "key",
        "sparsebundle", "lproj", "dsym",         "mlmodelc",  "scptd"};
    return extensions;
}

bool FileIntelligenceService::isPackageName(std::string_view name) {
    // The extension of ".app" is empty: a name whose only dot comes first is no package.
    return packageExtensions().count(FolderListing::lowercaseExtension(std::filesystem::path(name))) > 0;
}

std::function<bool(const std::string&, std::string_view)> FileIntelligenceService::unsearchedFolders() {
    return [trash = TrashFolders::current()](const std::string& directory, std::string_view name) {
        return isPackageName(name) || trash.isTrashFolder(directory, name) || WindowsLayout::isSystemFolder(name);
    };
}
