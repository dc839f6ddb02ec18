#include "Platform/WholeMarkers.h"

#include "Foundation/FileDescriptor.h"
#include "Platform/DirectoryReader.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace {

using Kind = DirectoryEntry::Kind;

enum class Needs { anything, file, directory };
// What the content of a marker must show before it counts.
enum class Confirm { nothing, cacheTagSignature, resilioIdentifier, cvsRoot, goModuleDownloads };

struct HeldMarker {
    std::string_view name;
    Needs needs;
    WholeKind whole;
    Confirm confirm = Confirm::nothing;
};

// An entry that marks the folder holding it.
constexpr std::array heldMarkers{
    HeldMarker{".git", Needs::anything, WholeKind::repository},  // a folder, or the file a worktree or submodule has
    HeldMarker{".hg", Needs::directory, WholeKind::repository},
    HeldMarker{".svn", Needs::directory, WholeKind::repository},
    HeldMarker{".bzr", Needs::directory, WholeKind::repository},
    HeldMarker{"_darcs", Needs::directory, WholeKind::repository},
    HeldMarker{".pijul", Needs::directory, WholeKind::repository},
    HeldMarker{".jj", Needs::directory, WholeKind::repository},
    HeldMarker{".fslckout", Needs::file, WholeKind::repository},
    HeldMarker{"_FOSSIL_", Needs::file, WholeKind::repository},
    HeldMarker{"CVS", Needs::directory, WholeKind::repository, Confirm::cvsRoot},
    HeldMarker{".stfolder", Needs::anything, WholeKind::syncFolder},  // Syncthing: a folder, a file before 1.x
    HeldMarker{".stversions", Needs::directory, WholeKind::syncFolder},
    HeldMarker{".dropbox", Needs::file, WholeKind::syncFolder},
    HeldMarker{".dropbox.cache", Needs::directory, WholeKind::syncFolder},
    HeldMarker{".owncloudsync.log", Needs::file, WholeKind::syncFolder},
    HeldMarker{".csync_journal.db", Needs::file, WholeKind::syncFolder},
    HeldMarker{".sync", Needs::directory, WholeKind::syncFolder, Confirm::resilioIdentifier},
    HeldMarker{".SyncID", Needs::file, WholeKind::syncFolder},  // BitTorrent Sync, Resilio's forerunner
    HeldMarker{".debris", Needs::directory, WholeKind::syncFolder},  // MEGAsync's rubbish at a synced folder's top
    HeldMarker{"pyvenv.cfg", Needs::file, WholeKind::environment},
    HeldMarker{"conda-meta", Needs::directory, WholeKind::environment},
    HeldMarker{"CACHEDIR.TAG", Needs::file, WholeKind::buildOutput, Confirm::cacheTagSignature},
    HeldMarker{"CMakeCache.txt", Needs::file, WholeKind::buildOutput},
    HeldMarker{".crates.toml", Needs::file, WholeKind::packageStore},  // Cargo's home
    HeldMarker{".crates2.json", Needs::file, WholeKind::packageStore},
    HeldMarker{".package-cache", Needs::file, WholeKind::packageStore},
    HeldMarker{"_cacache", Needs::directory, WholeKind::packageStore},  // npm's cache
    HeldMarker{"cache", Needs::directory, WholeKind::packageStore, Confirm::goModuleDownloads},
    HeldMarker{"source.properties", Needs::file, WholeKind::packageStore},  // an Android SDK package
    HeldMarker{"package_index.json", Needs::file, WholeKind::packageStore},  // Arduino's boards and tools
    HeldMarker{"library.properties", Needs::file, WholeKind::environment},  // an installed Arduino library
    HeldMarker{"metadata.db", Needs::file, WholeKind::applicationData},  // a Calibre library
    HeldMarker{"metadata_db_prefs_backup.json", Needs::file, WholeKind::applicationData},
    HeldMarker{"zotero.sqlite", Needs::file, WholeKind::applicationData},  // Zotero's data folder
    HeldMarker{"digikam4.db", Needs::file, WholeKind::applicationData},
    HeldMarker{".obsidian", Needs::directory, WholeKind::applicationData},  // an Obsidian vault
    // A Xapian database (glass, chert, honey): a search index that keeps its program's own settings
    // and tags beside it (mu's addresses, notmuch's tags), so not rebuilt by reindexing alone.
    HeldMarker{"iamglass", Needs::file, WholeKind::applicationData},
    HeldMarker{"iamchert", Needs::file, WholeKind::applicationData},
    HeldMarker{"iamhoney", Needs::file, WholeKind::applicationData},
};

// Entries that mark the folder holding them only together.
struct PairedMarker {
    std::string_view file;  // empty where both are folders
    std::array<std::string_view, 2> folders;  // the second may be empty
    WholeKind whole;
};

constexpr std::array pairedMarkers{
    PairedMarker{"HEAD", {"objects", "refs"}, WholeKind::repository},  // a bare git repository
    PairedMarker{"system.reg", {"drive_c", ""}, WholeKind::gameLibrary},  // a Wine or Proton prefix
    PairedMarker{"config", {"objects", "refs"}, WholeKind::packageStore},  // an OSTree repository (Flatpak)
    PairedMarker{"settings.toml", {"toolchains", ""}, WholeKind::packageStore},  // rustup's home
    PairedMarker{"", {"gems", "specifications"}, WholeKind::environment},  // a RubyGems home
    PairedMarker{"", {"packages", "registries"}, WholeKind::packageStore},  // a Julia depot
    PairedMarker{"", {"caches", "wrapper"}, WholeKind::packageStore},  // Gradle's home
};

struct OwnName {
    std::string_view name;
    WholeKind whole;
};

// Folders that are a whole by the name their tool gives them.
constexpr std::array ownNames{
    OwnName{".git", WholeKind::repository},
    OwnName{".hg", WholeKind::repository},
    OwnName{".svn", WholeKind::repository},
    OwnName{".bzr", WholeKind::repository},
    OwnName{"_darcs", WholeKind::repository},
    OwnName{".pijul", WholeKind::repository},
    OwnName{".jj", WholeKind::repository},
    OwnName{"node_modules", WholeKind::environment},
    OwnName{"bower_components", WholeKind::environment},
    OwnName{"jspm_packages", WholeKind::environment},
    OwnName{"__pypackages__", WholeKind::environment},
    OwnName{"site-packages", WholeKind::environment},
    OwnName{"dist-packages", WholeKind::environment},
    OwnName{".tox", WholeKind::environment},
    OwnName{".nox", WholeKind::environment},
    OwnName{".stack-work", WholeKind::buildOutput},
    OwnName{"dist-newstyle", WholeKind::buildOutput},
    OwnName{".pnpm-store", WholeKind::packageStore},
    OwnName{".m2", WholeKind::packageStore},
    OwnName{"steamapps", WholeKind::gameLibrary},
    OwnName{".ipynb_checkpoints", WholeKind::applicationData},  // Jupyter's saved checkpoints
    OwnName{"LocalHistory", WholeKind::applicationData},  // an IDE's history of every edit (JetBrains, Android Studio)
};

// A virtual machine's folder holds its definition: VirtualBox's "NAME.vbox", VMware's "NAME.vmx".
constexpr std::array machineDefinitions{std::string_view(".vbox"), std::string_view(".vmx")};

bool isMachineDefinition(std::string_view name) {
    return name.size() > 5 && std::any_of(machineDefinitions.begin(), machineDefinitions.end(), [&](std::string_view end) { return name.ends_with(end); });
}

// A "vendor" folder that Composer or `go mod vendor` filled.
constexpr std::array vendorMarkers{std::string_view("autoload.php"), std::string_view("modules.txt")};

// The Nextcloud and ownCloud clients' journal at a synced folder's top: ".sync_<id>.db", older
// "._sync_<id>.db", with its "-wal" and "-shm" beside it.
bool isSyncJournal(std::string_view name) {
    if (name.starts_with(".sync_")) name.remove_prefix(6);
    else if (name.starts_with("._sync_")) name.remove_prefix(7);
    else return false;
    return name.find(".db") != std::string_view::npos;
}

bool fits(const DirectoryEntry& entry, Needs needs) {
    switch (needs) {
    case Needs::anything: return true;
    case Needs::file: return entry.type == Kind::file;
    case Needs::directory: return entry.type == Kind::directory;
    }
    return false;
}

bool existsBelow(int folder, const char* relative, mode_t type) {
    struct stat status {};
    return ::fstatat(folder, relative, &status, AT_SYMLINK_NOFOLLOW) == 0 && (status.st_mode & S_IFMT) == type;
}

// Whether the marker's content shows it is the tool's; a marker that cannot be read counts.
bool confirmed(int folder, Confirm confirm) {
    if (confirm == Confirm::nothing || folder < 0) return true;
    switch (confirm) {
    case Confirm::cacheTagSignature: {
        static constexpr std::string_view signature = "Signature: 8a477f597d28d172789f06886806bc55";
        const FileDescriptor tag(::openat(folder, "CACHEDIR.TAG", O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
        struct stat status {};
        if (!tag.isOpen() || ::fstat(tag.get(), &status) != 0) return true;
        if (!S_ISREG(status.st_mode)) return false;
        char head[signature.size()];
        std::size_t got = 0;
        while (got < sizeof head) {
            const ssize_t count = ::read(tag.get(), head + got, sizeof head - got);
            if (count < 0) return true;
            if (count == 0) break;
            got += std::size_t(count);
        }
        return std::string_view(head, got) == signature;
    }
    case Confirm::resilioIdentifier: return existsBelow(folder, ".sync/ID", S_IFREG);
    case Confirm::cvsRoot: return existsBelow(folder, "CVS/Root", S_IFREG);
    case Confirm::goModuleDownloads: return existsBelow(folder, "cache/download", S_IFDIR);
    case Confirm::nothing: break;
    }
    return true;
}

const DirectoryEntry* find(std::span<const DirectoryEntry> entries, std::string_view name, Needs needs) {
    for (const DirectoryEntry& entry : entries)
        if (entry.name == name && fits(entry, needs)) return &entry;
    return nullptr;
}

}  // namespace

namespace WholeMarkers {

bool mayMark(std::string_view entryName) {
    if (entryName.empty() || entryName.size() > 29) return isSyncJournal(entryName) || isMachineDefinition(entryName);
    auto named = [&](std::string_view name) { return name == entryName; };
    return std::any_of(heldMarkers.begin(), heldMarkers.end(), [&](const HeldMarker& marker) { return named(marker.name); }) ||
           std::any_of(pairedMarkers.begin(), pairedMarkers.end(), [&](const PairedMarker& marker) {
               return named(marker.file) || named(marker.folders[0]) || (!marker.folders[1].empty() && named(marker.folders[1]));
           }) ||
           std::any_of(ownNames.begin(), ownNames.end(), [&](const OwnName& own) { return named(own.name); }) ||
           std::any_of(vendorMarkers.begin(), vendorMarkers.end(), named) || isSyncJournal(entryName) || isMachineDefinition(entryName);
}

std::optional<WholeKind> wholeMarked(int folder, std::string_view folderName, std::span<const DirectoryEntry> entries) {
    for (const OwnName& own : ownNames)
        if (own.name == folderName) return own.whole;
    for (const HeldMarker& marker : heldMarkers)
        if (find(entries, marker.name, marker.needs) && confirmed(folder, marker.confirm)) return marker.whole;
    for (const DirectoryEntry& entry : entries) {
        if (entry.type == Kind::file && isSyncJournal(entry.name)) return WholeKind::syncFolder;
        if (entry.type == Kind::file && isMachineDefinition(entry.name)) return WholeKind::applicationData;
    }
    for (const PairedMarker& marker : pairedMarkers) {
        if (!marker.file.empty() && !find(entries, marker.file, Needs::file)) continue;
        if (!find(entries, marker.folders[0], Needs::directory)) continue;
        if (!marker.folders[1].empty() && !find(entries, marker.folders[1], Needs::directory)) continue;
        return marker.whole;
    }
    if (folderName == "vendor" && std::any_of(vendorMarkers.begin(), vendorMarkers.end(), [&](std::string_view name) { return find(entries, name, Needs::file); }))
        return WholeKind::environment;
    return std::nullopt;
}

std::optional<WholeKind> wholeMarkedAt(const std::filesystem::path& path) {
    std::vector<DirectoryEntry> entries;
    if (!DirectoryReader::read(path.native(), entries)) return std::nullopt;
    const FileDescriptor folder(::open(path.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    const std::filesystem::path normal = path.lexically_normal();
    const std::string name = (normal.has_filename() ? normal.filename() : normal.parent_path().filename()).native();
    return wholeMarked(folder.get(), name, entries);
}

}  // namespace WholeMarkers
