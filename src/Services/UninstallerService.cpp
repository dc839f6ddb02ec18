#include "Services/UninstallerService.h"

#include "Models/AppLocalization.h"
#include "Models/ArtifactSelection.h"
#include "Models/NameCollator.h"
#include "Foundation/AllocatedBytes.h"
#include "Foundation/FileIdentity.h"
#include "Services/ApplicationNames.h"
#include "Services/MovedNames.h"
#include "Foundation/LiesWithin.h"
#include "Platform/CurrentDesktops.h"
#include "Platform/DesktopApplications.h"
#include "Platform/DesktopEntry.h"
#include "Platform/DesktopEntryFile.h"
#include "Platform/DpkgDatabase.h"
#include "Platform/FolderListing.h"
#include "Platform/HomeDotfiles.h"
#include "Platform/KeptPrograms.h"
#include "Platform/EntryProgram.h"
#include "Platform/LinuxLocations.h"
#include "Platform/MountPoints.h"
#include "Platform/RealPath.h"
#include "Platform/SandboxPackage.h"
#include "Platform/SessionServices.h"
#include "Platform/ShellCommands.h"
#include "Platform/ProgramPath.h"
#include "Foundation/PathText.h"
#include "Platform/SystemRoots.h"
#include "Platform/Trash.h"
#include "Platform/WholeMarkers.h"
#include "Foundation/SaturatingSum.h"

#include <QCollator>
#include <QRegularExpression>
#include <QStringList>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace fs = std::filesystem;
using namespace ApplicationNames;

namespace {

// In listing order: the system's applications, then the user's.
constexpr std::array<std::string_view, 2> applicationFolders{"/Applications", "Applications"};

const QString noVersion = QStringLiteral("\u2014");

enum class Key { identifier, name };

// The application's own items, tried in this order; folders below the home folder.
struct FixedCandidate {
    std::string_view folder;
    Key key;
    std::string_view suffix;
    ArtifactCategory category;
};

constexpr std::array fixedCandidates{
    FixedCandidate{"Library/Application Support", Key::identifier, "", ArtifactCategory::support},
    FixedCandidate{"Library/Application Support", Key::name, "", ArtifactCategory::support},
    FixedCandidate{"Library/Caches", Key::identifier, "", ArtifactCategory::cache},
    FixedCandidate{"Library/Preferences", Key::identifier, ".plist", ArtifactCategory::preference},
    FixedCandidate{"Library/Saved Application State", Key::identifier, ".savedState", ArtifactCategory::savedState},
    FixedCandidate{"Library/Containers", Key::identifier, "", ArtifactCategory::container},
};

// Folders whose entries are matched by name, in this order.
struct SearchedFolder {
    std::string_view folder;
    ArtifactCategory category;
};

constexpr std::array searchedFolders{
    SearchedFolder{"Library/Application Support", ArtifactCategory::support},
    SearchedFolder{"Library/Caches", ArtifactCategory::cache},
    SearchedFolder{"Library/Preferences", ArtifactCategory::preference},
    SearchedFolder{"Library/Group Containers", ArtifactCategory::container},
    SearchedFolder{"Library/Logs", ArtifactCategory::support},
    SearchedFolder{"Library/Saved Application State", ArtifactCategory::savedState},
};

std::optional<struct stat> linkStatus(const fs::path& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return std::nullopt;
    return info;
}

std::int64_t blocksOf(const struct stat& info) {
    return allocatedBytes(static_cast<std::uint64_t>(info.st_blocks));
}

fs::path normalFolder(const fs::path& path) {
    fs::path normal = path.lexically_normal();
    return normal.has_filename() ? normal : normal.parent_path();
}

// The wholes of the user's home that leftovers may be, hold, lie in or lead into: a repository, a
// synced folder, an environment (not a build's output, which its tool makes again). Each folder is
// read once for a list.
class HomeWholes {
public:
    explicit HomeWholes(const fs::path& home) : home_(realPath(home).value_or(home)) {}

    // The whole that holds `folder` or one of the folders above it below the home, when one does.
    std::optional<WholeKind> around(const fs::path& folder) {
        for (fs::path each = folder; each != home_ && liesWithin(each, home_); each = each.parent_path())
            if (const auto whole = markedAt(each)) return whole;
        return std::nullopt;
    }

    // The whole a link of the home leads into, or lies in: a dotfiles repository a file or folder
    // is linked from.
    std::optional<WholeKind> reachedBy(const fs::path& link) {
        const auto target = realPath(link);
        if (!target || !liesWithin(*target, home_)) return std::nullopt;
        struct stat info {};
        return around(::stat(target->c_str(), &info) == 0 && S_ISDIR(info.st_mode) ? *target : target->parent_path());
    }

    static std::optional<WholeKind> usersOwn(std::optional<WholeKind> whole) {
        return whole == WholeKind::buildOutput ? std::nullopt : whole;
    }

private:
    std::optional<WholeKind> markedAt(const fs::path& folder) {
        auto [known, isNew] = marked_.try_emplace(folder.native());
        if (isNew) known->second = usersOwn(WholeMarkers::wholeMarkedAt(folder));
        return known->second;
    }

    fs::path home_;
    std::unordered_map<std::string, std::optional<WholeKind>> marked_;
};

// What the tree at `location` takes on disk, and whether any of it lies on another file system than
// the folder that holds it: a mounted vault, drive or tmpfs that a rename would carry along.
struct MeasuredTree {
    std::int64_t bytes = 0;
    bool crossesFileSystems = false;
    // Asked with the home's wholes: the first the tree is or holds, and whether a link led to it.
    std::optional<WholeKind> whole = std::nullopt;
    bool throughLink = false;
};

// Allocated bytes of everything in the tree at `location`, as `du -x` counts what would move: every
// file, folder and link once, hidden ones included (a Flatpak's data or a game's saves may hold
// nothing else), no symbolic link followed, a file of several names counted once, nothing of another
// file system mounted inside. With `wholes`, also the first whole its folders mark or its links lead into.
MeasuredTree measuredTree(const fs::path& location, HomeWholes* wholes = nullptr) {
    const auto top = linkStatus(location);
    if (!top) return {};
    struct stat above {};
    MeasuredTree measured{.crossesFileSystems = ::stat(location.parent_path().c_str(), &above) == 0 && above.st_dev != top->st_dev};
    auto reached = [&](const fs::path& link) {
        if (measured.whole || !wholes) return;
        measured.whole = wholes->reachedBy(link);
        measured.throughLink = measured.whole.has_value();
    };
    std::int64_t& total = measured.bytes;
    total = blocksOf(*top);
    if (S_ISLNK(top->st_mode)) reached(location);
    std::set<std::pair<dev_t, ino_t>> namedTwice;
    std::vector<fs::path> pending;
    if (S_ISDIR(top->st_mode)) pending.push_back(location);
    std::vector<DirectoryEntry> markers;
    while (!pending.empty()) {
        const fs::path folder = std::move(pending.back());
        pending.pop_back();
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        DIR* listing = fd >= 0 ? ::fdopendir(fd) : nullptr;
        if (!listing) {
            if (fd >= 0) ::close(fd);
            continue;
        }
        markers.clear();
        while (const dirent* entry = ::readdir(listing)) {
            if (std::string_view name = entry->d_name; name == "." || name == "..") continue;
            struct stat info {};
            if (::fstatat(::dirfd(listing), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
            if (info.st_dev != top->st_dev) {
                measured.crossesFileSystems = true;
                continue;
            }
            if (wholes && WholeMarkers::mayMark(entry->d_name)) {
                DirectoryEntry marker;
                marker.name = entry->d_name;
                marker.type = DirectoryEntry::kindOfMode(info.st_mode);
                markers.push_back(std::move(marker));
            }
            if (S_ISLNK(info.st_mode)) reached(folder / entry->d_name);
            if (S_ISDIR(info.st_mode)) pending.push_back(folder / entry->d_name);
            else if (info.st_nlink > 1 && !namedTwice.insert({info.st_dev, info.st_ino}).second) continue;
            total = saturatingSum(total, blocksOf(info));
        }
        if (wholes && !measured.whole)
            if (const auto whole = HomeWholes::usersOwn(WholeMarkers::wholeMarked(::dirfd(listing), normalFolder(folder).filename().native(), markers))) {
                measured.whole = whole;
                measured.throughLink = false;
            }
        ::closedir(listing);
    }
    return measured;
}

std::int64_t allocatedSize(const fs::path& location) {
    return measuredTree(location).bytes;
}

// What a package owns on disk: its regular files, each counted where it is listed.
std::int64_t packageSize(const DpkgDatabase::Package& package, const fs::path& root) {
    std::int64_t total = 0;
    for (const fs::path& file : DpkgDatabase::files(package, root)) {
        const auto info = linkStatus(file);
        if (info && S_ISREG(info->st_mode)) total = saturatingSum(total, blocksOf(*info));
    }
    return total;
}

QString nameWithoutExtension(const fs::path& file) {
    return PathText::display(file.stem());
}

// Keys shorter than this are found only as whole names or before a separator ("qv", "qv-data"):
// inside other names ("aqva") a letter or two means nothing.
constexpr qsizetype shortestContainedKey = 3;

bool liesDirectlyIn(const fs::path& item, const fs::path& folder) {
    const fs::path normal = normalFolder(item);
    return normal.has_filename() && normal.filename() != ".." && normal.parent_path() == normalFolder(folder);
}

// True when `item` is one of the folders the tables name, the home folder, the root, or above any of them.
bool holdsBaseFolder(const fs::path& item, const SystemRoots& roots) {
    std::vector<fs::path> bases{roots.root, roots.home};
    auto addFolders = [&](std::string_view original) {
        for (auto& folder : LinuxLocations::folders(original, roots)) bases.push_back(folder);
    };
    for (auto original : applicationFolders) addFolders(original);
    for (const auto& candidate : fixedCandidates) addFolders(candidate.folder);
    for (const auto& searched : searchedFolders) addFolders(searched.folder);
    const fs::path normal = normalFolder(item);
    return std::any_of(bases.begin(), bases.end(), [&](const fs::path& base) {
        const fs::path folder = normalFolder(base);
        return std::mismatch(normal.begin(), normal.end(), folder.begin(), folder.end()).first == normal.end();
    });
}

// Whether an item is the application's own by its name: a key, or for a file a key with an
// extension ("vim", "vim.log"). A name that only begins with a key ("code-server", "vim-backup") or
// holds it ("nvim") may be another program's or the user's, so it is listed unticked.
bool namesItsOwn(const fs::path& item, const QStringList& keys) {
    const QString name = PathText::display(item.filename());
    if (keys.contains(nameKey(name))) return true;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0 || !keys.contains(nameKey(name.left(dot)))) return false;
    const auto info = linkStatus(item);
    return info && !S_ISDIR(info->st_mode);
}

// The name a program goes by: an AppImage's without its version and architecture
// ("LM-Studio-0.2.24-x86_64.AppImage" goes by "lmstudio"), any other's its file name.
QString programKey(const EntryProgram& program) {
    const QString name = PathText::display(program.path.filename());
    return program.isAppImage ? programNameKey(name) : nameKey(name);
}

// Whether an item is a mount point or holds one, by the table or by what lies on another file system:
// it goes as one rename, which would carry that file system along.
bool holdsAMount(const fs::path& item, const MountPoints& mounts) {
    return mounts.atOrBelow(locatedPath(item)) || measuredTree(item).crossesFileSystems;
}

// Whether an item holds one of the places or lies inside one.
bool touchesAny(const fs::path& item, const std::vector<fs::path>& places) {
    const fs::path here = locatedPath(item);
    return std::any_of(places.begin(), places.end(), [&](const fs::path& place) { return liesWithin(place, here) || liesWithin(here, place); });
}

// The user can take an application's entry away only from a folder they may change (a package's
// files are locked apart).
bool userCanMove(const fs::path& application) {
    return ::faccessat(AT_FDCWD, application.parent_path().c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

// Only an entry of the user's own, in their home or data folder, is theirs to take away: one of the
// system's (under /usr, /etc, /var/lib/flatpak) stays whoever runs the app, root included.
bool isUsersOwnEntry(const fs::path& entryFile) {
    const SystemRoots roots = SystemRoots::current();
    const auto info = linkStatus(entryFile);
    if (!info || info->st_uid != ::geteuid()) return false;
    const fs::path place = locatedPath(entryFile);
    const std::array<fs::path, 2> ownFolders{roots.home, roots.dataHome};
    return std::any_of(ownFolders.begin(), ownFolders.end(), [&](const fs::path& folder) {
        const auto real = realPath(folder);
        return real && *real != "/" && liesWithin(place, *real);
    });
}

// An entry the desktop shows: one per desktop-file id, as on the desktop the user's folder first,
// then the system's in their order. A user's copy of a system entry is one application, not two.
struct ShownEntry {
    fs::path file;
    std::string id;
    DesktopEntry entry;
    EntryProgram program;
    // Flatpak's or Snap's export: only the store removes its application.
    std::optional<SandboxPackage> sandbox;
    // A launcher made for a web page or by the launcher portal: the browser it starts is no part of it.
    bool isWebApp = false;
    // Another entry of this id lies behind this one: moving this one only brings that one back.
    bool masksAnother = false;
    // Links to this entry's file under other IDs, in the autostart folders or on the Desktop: the same
    // launcher again, which goes with it rather than being left leading nowhere.
    std::vector<fs::path> links = {};
    // Where the entry is, as `locatedPath` gives it: what another application's item must not hold.
    fs::path place = locatedPath(file);
};

// An entry the desktop does not show, and the program it starts, its links resolved.
struct HiddenEntry {
    fs::path file;
    fs::path program;
};

// What runs a program outside the entries, by the name the card gives it.
struct SessionRunner {
    fs::path name;
    RunnerKind kind = RunnerKind::service;
};

// The places other entries name, and where the other applications are.
struct OthersPlaces {
    // Files other entries run, other shown entries, folders other applications were unpacked into:
    // nothing that holds one of them or lies inside one is this application's.
    std::vector<fs::path> places;
    // Folders other entries work in or hand on: nothing that holds one is this application's.
    std::vector<fs::path> folders;

    bool touch(const fs::path& item) const {
        return touchesAny(item, places) ||
               std::any_of(folders.begin(), folders.end(), [here = locatedPath(item)](const fs::path& folder) { return liesWithin(folder, here); });
    }
};

// Every entry the desktop reads, with the places each names: the applications folders (the shown
// entries come from there), the autostart folders and the launchers on the Desktop.
struct DesktopEntries {
    std::vector<ShownEntry> shown;
    // The entries of the applications folders the desktop does not show (NoDisplay) that start a
    // program: an application's second entry may be one.
    std::vector<HiddenEntry> hidden;
    // Each file an entry runs and each folder it works in, resolved, with the entries that name it,
    // shown or not, each counted once however many folders reach it.
    std::unordered_map<std::string, std::unordered_set<std::string>> runners;
    std::unordered_map<std::string, std::unordered_set<std::string>> folderUsers;
    // The programs the entries start, by the name they go by (`programNameKey`), with those entries.
    std::unordered_map<QString, std::unordered_set<std::string>> programStarters;
    // The session's services among the entries above, by their real file, with the name they go by.
    std::unordered_map<std::string, SessionRunner> services;
    // Entries that start other entries, by their file ("dex ~/x.desktop") or their ID ("gtk-launch x").
    std::vector<std::pair<std::string, std::string>> startsFile;
    std::vector<std::pair<std::string, std::string>> startsID;

    // A service that runs the program, when one does: the first by its file, whatever order the table keeps.
    std::optional<SessionRunner> serviceRunning(const EntryProgram& program) const {
        const auto found = runners.find(program.realFile.native());
        if (found == runners.end()) return std::nullopt;
        std::optional<std::string> first;
        for (const std::string& runner : found->second)
            if (services.contains(runner) && (!first || runner < *first)) first = runner;
        if (!first) return std::nullopt;
        return services.at(*first);
    }

    // How many entries other than the application's own run the program.
    std::size_t othersRunning(const EntryProgram& program, const std::unordered_set<std::string>& ownEntries) const {
        const auto found = runners.find(program.realFile.native());
        if (found == runners.end()) return 0;
        return std::size_t(std::count_if(found->second.begin(), found->second.end(), [&](const std::string& entry) { return !ownEntries.contains(entry); }));
    }

    // An entry other than the application's own that starts a program that goes by `key`, the first
    // by its file whatever order the table keeps.
    std::optional<fs::path> anotherStarting(const QString& key, const std::unordered_set<std::string>& ownEntries) const {
        const auto found = programStarters.find(key);
        if (found == programStarters.end()) return std::nullopt;
        std::optional<std::string> first;
        for (const std::string& entry : found->second)
            if (!ownEntries.contains(entry) && (!first || entry < *first)) first = entry;
        return first ? std::optional<fs::path>(*first) : std::nullopt;
    }

    // The real files of an application's own entries: its entry, and, for an application installed in
    // a folder of its own, the hidden entries of the user's that start a program in that folder
    // (kitty's kitty-open.desktop beside kitty.desktop): one install, whose second entry uses nothing
    // of another's. A program that stands alone is its entry's only while no other entry runs it.
    std::unordered_set<std::string> ownEntries(const ShownEntry& application) const {
        std::unordered_set<std::string> own{realPath(application.file).value_or(application.file).native()};
        for (const fs::path& file : companions(application)) own.insert(realPath(file).value_or(file).native());
        return own;
    }

    // The hidden entries of the user's that start a program of the folder the application is
    // installed in, by their files.
    std::vector<fs::path> companions(const ShownEntry& application) const {
        std::vector<fs::path> files;
        const EntryProgram& program = application.program;
        if (program.found != EntryProgram::Found::present || !program.unpackedInto) return files;
        for (const HiddenEntry& each : hidden)
            if (liesWithin(each.program, *program.unpackedInto) && isUsersOwnEntry(each.file)) files.push_back(each.file);
        return files;
    }

    // What names the applications other than the one of `ownEntries`.
    OthersPlaces othersPlaces(const fs::path& entryFile, const std::unordered_set<std::string>& ownEntries) const {
        auto byOthers = [&](const std::unordered_set<std::string>& entries) {
            return std::any_of(entries.begin(), entries.end(), [&](const std::string& entry) { return !ownEntries.contains(entry); });
        };
        OthersPlaces others;
        for (const auto& [file, entries] : runners)
            if (byOthers(entries)) others.places.emplace_back(file);
        for (const auto& [folder, entries] : folderUsers)
            if (byOthers(entries)) others.folders.emplace_back(folder);
        for (const ShownEntry& other : shown) {
            if (other.file == entryFile) continue;
            others.places.push_back(other.place);
            if (other.program.unpackedInto) others.places.push_back(*other.program.unpackedInto);
        }
        return others;
    }

    // Counts what the entry of `file` names; its real file, which tells one entry from another.
    std::string addPlaces(const fs::path& file, const EntryProgram& program) {
        std::string entryFile = realPath(file).value_or(file).native();
        for (const fs::path& run : program.runs) {
            runners[run.native()].insert(entryFile);
            if (run.extension() == ".desktop") startsFile.emplace_back(entryFile, run.native());
        }
        for (const fs::path& folder : program.folders) folderUsers[folder.native()].insert(entryFile);
        for (const std::string& name : program.programNames)
            for (const QString& key : {programNameKey(PathText::display(name)), otherBuildKey(PathText::display(name))})
                if (!key.isEmpty()) programStarters[key].insert(entryFile);
        for (const std::string& id : program.startsEntries) startsID.emplace_back(entryFile, id);
        return entryFile;
    }

    // An entry that starts another runs what that one runs, through a chain of them too. `fileOfID`:
    // the file the desktop reads for an ID, with its links resolved.
    void addEntriesStarted(const std::unordered_map<std::string, std::string>& fileOfID) {
        std::vector<std::pair<std::string, std::string>> starts = startsFile;
        for (const auto& [starter, id] : startsID)
            if (const auto file = fileOfID.find(id); file != fileOfID.end()) starts.emplace_back(starter, file->second);
        auto follow = [&](auto& byPlace, const std::string& starter, const std::string& started) {
            bool grew = false;
            for (auto& [place, users] : byPlace)
                if (users.contains(started)) grew |= users.insert(starter).second;
            return grew;
        };
        // Each pass can only add; a chain of entries is followed in as many passes as it is long.
        for (bool grew = !starts.empty(); grew;) {
            grew = false;
            for (const auto& [starter, started] : starts)
                if (starter != started) {
                    grew |= follow(runners, starter, started);
                    grew |= follow(folderUsers, starter, started);
                    grew |= follow(programStarters, starter, started);
                }
        }
    }
};

bool isLink(const fs::path& file) {
    const auto info = linkStatus(file);
    return info && S_ISLNK(info->st_mode);
}

// The launchers directly in a folder: the desktop reads no deeper in the autostart folders or on the
// Desktop, nor Nemo in its actions folder.
std::vector<fs::path> launchersIn(const fs::path& folder, std::string_view extension = "desktop") {
    std::vector<fs::path> found;
    for (fs::path& entry : FolderListing::entries(folder).value_or(std::vector<fs::path>{}))
        if (!FolderListing::isHidden(entry) && FolderListing::lowercaseExtension(entry) == extension) found.push_back(std::move(entry));
    std::sort(found.begin(), found.end());
    return found;
}

// Every command of an entry and of its actions, and each command handed to a shell inside them
// ("sh -c 'firefox --profile …'"), as its words.
std::vector<std::vector<std::string>> everyCommand(const DesktopEntry& entry) {
    std::vector<std::vector<std::string>> commands = entry.actionCommands();
    commands.insert(commands.begin(), entry.command());
    std::vector<std::vector<std::string>> inner;
    for (const std::vector<std::string>& command : commands)
        for (const std::string& word : command)
            for (std::vector<std::string>& each : ShellCommands::of(word)) inner.push_back(std::move(each));
    commands.insert(commands.end(), std::make_move_iterator(inner.begin()), std::make_move_iterator(inner.end()));
    return commands;
}

// The names a web app's own items carry: its desktop-file ID, the class of its windows, and the code
// name Mint's Web Apps give it (the ID "webapp-Mail1234" names "Mail1234").
std::vector<std::string> webAppNames(const std::string& id, const DesktopEntry& entry) {
    std::vector<std::string> names{id};
    const std::string windowClass = entry.text("StartupWMClass").value_or(QString()).toStdString();
    for (const std::string& name : {windowClass, id.starts_with("webapp-") ? id.substr(7) : std::string()})
        if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    return names;
}

// The folders the commands hand a browser as its profile ("--profile=…", "--profile …",
// "--user-data-dir=…"), as written.
std::vector<std::string> profileFolders(const std::vector<std::vector<std::string>>& commands) {
    std::vector<std::string> folders;
    for (const std::vector<std::string>& words : commands)
        for (std::size_t index = 0; index < words.size(); ++index)
            for (const std::string option : {"--profile", "-profile", "--user-data-dir"}) {
                if (words[index] == option && index + 1 < words.size()) folders.push_back(words[index + 1]);
                else if (words[index].starts_with(option + "=")) folders.push_back(words[index].substr(option.size() + 1));
            }
    return folders;
}

// Whether a folder as written is named by one of the names, alone or as GNOME Web names the profile
// of a web app ("org.gnome.Epiphany.WebApp-Mail1234"): a profile kept for that launcher alone. A
// Firefox profile of the user's ("x8a9.Work") is not, whatever the window class.
bool namedByOneOf(std::string folder, const std::vector<std::string>& names) {
    while (folder.size() > 1 && folder.ends_with('/')) folder.pop_back();
    const std::string name = fs::path(folder).filename().native();
    return std::any_of(names.begin(), names.end(), [&](const std::string& each) { return name == each || name == "org.gnome.Epiphany." + each; });
}

// A launcher made for a web page: one the launcher portal made (its file in the portal's folder, or
// linked from there), one that starts a browser in an application window of its own ("--app-id=",
// "--app=", "--application-mode") or with a profile of its own, named by it (Mint's Web Apps, whether
// that profile is there or not), or a Firefox PWA ("firefoxpwa site launch <ID>").
bool isWebApp(const fs::path& file, const std::string& id, const DesktopEntry& entry, const SystemRoots& roots) {
    const fs::path portal = roots.dataHome / "xdg-desktop-portal/applications";
    if (liesWithin(locatedPath(file), realPath(portal).value_or(portal)) || liesWithin(realPath(file).value_or(file), realPath(portal).value_or(portal))) return true;
    const auto commands = everyCommand(entry);
    const bool appWindow = std::any_of(commands.begin(), commands.end(), [](const std::vector<std::string>& words) {
        for (std::size_t index = 0; index < words.size(); ++index) {
            const std::string& word = words[index];
            if (word == "--application-mode" || word.starts_with("--app-id=") || word.starts_with("--app=")) return true;
            if (ProgramPath::name(word) == "firefoxpwa" && index + 2 < words.size() && words[index + 1] == "site" && words[index + 2] == "launch") return true;
        }
        return false;
    });
    if (appWindow) return true;
    const std::vector<std::string> names = webAppNames(id, entry);
    const std::vector<std::string> profiles = profileFolders(commands);
    return std::any_of(profiles.begin(), profiles.end(), [&](const std::string& folder) { return namedByOneOf(folder, names); });
}

DesktopEntries desktopEntries(const SystemRoots& roots) {
    std::vector<fs::path> folders;
    for (auto original = applicationFolders.rbegin(); original != applicationFolders.rend(); ++original)
        for (fs::path& folder : LinuxLocations::folders(*original, roots)) folders.push_back(std::move(folder));

    const std::vector<fs::path> searchPath = DesktopApplications::environmentSearchPath();
    const QStringList desktops = CurrentDesktops::names();
    DesktopEntries entries;
    std::vector<ShownEntry>& shown = entries.shown;
    // Each id seen, with where its first entry stands in `shown` when that one is shown.
    std::unordered_map<std::string, std::optional<std::size_t>> seenIDs;
    // The file each ID stands for, and where each shown file stands in `shown`, links resolved.
    std::unordered_map<std::string, std::string> fileOfID;
    std::unordered_map<std::string, std::size_t> shownFiles;
    for (const fs::path& folder : folders) {
        for (auto& [file, id] : DesktopEntryFile::below(folder)) {
            auto entry = DesktopEntry::read(file);
            if (!entry) continue;
            EntryProgram program = EntryProgram::of(*entry, roots, searchPath);
            const std::string real = entries.addPlaces(file, program);
            fileOfID.try_emplace(id + ".desktop", real);
            // An entry that hides or drops an application also shadows the system's entry of that id.
            auto [first, isFirst] = seenIDs.try_emplace(id, std::nullopt);
            if (!isFirst) {
                // The same file again, through a folder listed twice, is nothing behind the first.
                if (const auto shownAt = first->second; shownAt && FileIdentity::at(file) != FileIdentity::at(shown[*shownAt].file))
                    shown[*shownAt].masksAnother = true;
                continue;
            }
            // Hidden=true is the desktop's way of saying the entry was deleted; a TryExec program
            // that is not there, its way of saying the application is not installed.
            if (entry->text("Type") != QLatin1String("Application") || entry->flag("NoDisplay") || entry->flag("Hidden")) {
                if (entry->flag("NoDisplay") && !entry->flag("Hidden") && program.found == EntryProgram::Found::present)
                    entries.hidden.push_back({std::move(file), program.realFile});
                continue;
            }
            if (!CurrentDesktops::show(CurrentDesktops::onlyShowIn(*entry), CurrentDesktops::notShowIn(*entry), desktops) || !program.tryExecFound) continue;
            // An entry linked to one already shown is that one under another ID: one application,
            // listed by the file that is not a link.
            if (const auto same = shownFiles.find(real); same != shownFiles.end()) {
                ShownEntry& kept = shown[same->second];
                first->second = same->second;
                if (isLink(kept.file) && !isLink(file)) {
                    std::swap(kept.file, file);
                    std::swap(kept.id, id);
                    kept.place = locatedPath(kept.file);
                }
                kept.links.push_back(std::move(file));
                continue;
            }
            first->second = shown.size();
            shownFiles.emplace(real, shown.size());
            // A web app's store key names its browser, never itself.
            const bool webApp = isWebApp(file, id, *entry, roots);
            auto sandbox = webApp ? std::nullopt : SandboxPackage::of(file, *entry, roots);
            shown.push_back({std::move(file), std::move(id), std::move(*entry), std::move(program), std::move(sandbox), webApp});
        }
    }
    // What starts at login, the launchers on the Desktop and the file managers' menus (KDE's service
    // menus, the actions of Nautilus, Caja and Nemo) run programs too.
    std::vector<fs::path> launcherFolders = LinuxLocations::folders("Library/LaunchAgents", roots);
    for (fs::path& folder : LinuxLocations::folders("/Library/LaunchAgents", roots)) launcherFolders.push_back(std::move(folder));
    launcherFolders.push_back(roots.desktop);
    for (const fs::path& folder : launcherFolders)
        for (fs::path& file : launchersIn(folder))
            if (const auto entry = DesktopEntry::read(file)) {
                if (const auto same = shownFiles.find(entries.addPlaces(file, EntryProgram::of(*entry, roots, searchPath))); same != shownFiles.end() && isLink(file))
                    shown[same->second].links.push_back(std::move(file));
            }
    // The session's services run programs as entries do: systemd's user units, D-Bus session
    // services, Plasma's autostart scripts, the crontab, the shells' startup files.
    for (const SessionService& service : SessionService::of(roots))
        entries.services.emplace(entries.addPlaces(service.file, EntryProgram::of(service.entry, roots, searchPath)),
                                 SessionRunner{service.file.filename(), service.kind});
    std::vector<fs::path> dataFolders{roots.dataHome};
    dataFolders.insert(dataFolders.end(), roots.dataDirs.begin(), roots.dataDirs.end());
    for (const fs::path& dataFolder : dataFolders) {
        for (std::string_view menus : {"kio/servicemenus", "kservices5/ServiceMenus", "file-manager/actions"})
            for (const auto& [file, id] : DesktopEntryFile::below(dataFolder / menus))
                if (const auto entry = DesktopEntry::read(file)) entries.addPlaces(file, EntryProgram::of(*entry, roots, searchPath));
        for (const fs::path& file : launchersIn(dataFolder / "nemo/actions", "nemo_action"))
            if (const auto entry = DesktopEntry::read(file, "Nemo Action")) entries.addPlaces(file, EntryProgram::of(*entry, roots, searchPath));
    }
    entries.addEntriesStarted(fileOfID);
    return entries;
}

QString applicationName(const ShownEntry& shown, const QLocale& locale) {
    return shown.entry.localizedText("Name", locale).value_or(nameWithoutExtension(shown.file));
}

// Every name an application goes by: its Name as written and in the current language, and its
// desktop-file ID. In Arabic, "Writer" still names ~/.config/Writer.
QStringList applicationKeys(const ShownEntry& shown, const QLocale& locale) {
    return nameKeys({shown.entry.text("Name").value_or(QString()), applicationName(shown, locale)}, PathText::display(shown.id));
}

// The container an entry runs its program in, when it is a container's export: "distrobox-enter -n
// arch -- …", "distrobox enter arch -- …", "toolbox run -c fedora …". Empty for the tool's default
// container, unnamed; nothing for any other entry.
std::optional<std::string> containerEntered(const DesktopEntry& entry) {
    const std::vector<std::string> words = entry.command();
    auto at = std::find_if(words.begin(), words.end(), [](const std::string& word) { return !word.starts_with('-') && word.find('=') == std::string::npos; });
    if (at == words.end()) return std::nullopt;
    const std::string_view tool = ProgramPath::name(*at);
    if ((tool == "distrobox" || tool == "toolbox") && std::next(at) != words.end() && (*std::next(at) == "enter" || *std::next(at) == "run")) ++at;
    else if (tool != "distrobox-enter") return std::nullopt;
    for (++at; at != words.end() && *at != "--"; ++at) {
        const std::string& word = *at;
        for (std::string_view option : {"-n", "--name", "-c", "--container"}) {
            if (word == option && std::next(at) != words.end()) return *std::next(at);
            if (word.starts_with(std::string(option) + "=")) return word.substr(option.size() + 1);
        }
        if (!word.starts_with('-') && tool == "distrobox") return word;
    }
    return std::string();
}

// The names an application exported from a container goes by inside it, which its data there carries
// (the container's home is the user's): its name without the label the export adds ("VSCodium (on
// arch)" is VSCodium), the ID it was exported from ("arch-codium" is codium) and its icon's name.
QStringList exportedNames(const ShownEntry& shown, const QLocale& locale) {
    const std::optional<std::string> container = containerEntered(shown.entry);
    if (!container) return {};
    const QString box = QString::fromStdString(*container);
    const QRegularExpression label(box.isEmpty() ? QStringLiteral("\\s*\\(on [^()]+\\)\\s*$")
                                                 : QStringLiteral("\\s*[(\\[](on )?%1[)\\]]\\s*$").arg(QRegularExpression::escape(box)),
                                   QRegularExpression::CaseInsensitiveOption);
    auto withoutBox = [&](QString name) {
        if (!box.isEmpty() && name.startsWith(box + QLatin1Char('-'))) name.remove(0, box.size() + 1);
        return name;
    };
    QStringList names;
    for (const QString& name : {shown.entry.text("Name").value_or(QString()), applicationName(shown, locale)}) names << QString(name).remove(label);
    names << withoutBox(PathText::display(shown.id));
    // An icon is named by a theme name ("org.gnome.Foo") or by its file.
    if (const QString icon = shown.entry.text("Icon").value_or(QString()); !icon.isEmpty())
        names << withoutBox(icon.contains(QLatin1Char('/')) ? PathText::display(fs::path(PathText::fromText(icon)).stem()) : icon);
    return names;
}

// Those, the names it goes by inside its container when it is exported from one, and the name its
// AppImage goes by, which its leftovers may carry instead.
QStringList leftoverKeys(const ShownEntry& shown, const QLocale& locale) {
    QStringList keys = applicationKeys(shown, locale);
    for (const QString& key : nameKeys(exportedNames(shown, locale), QString()))
        if (!keys.contains(key)) keys << key;
    if (const QString key = programKey(shown.program); shown.program.isAppImage && isUsableKey(key) && !keys.contains(key)) keys << key;
    return keys;
}

// Whether an application goes when its items do. On Linux an entry is only a launcher: the
// application goes only with its own program, one file of the user's that stands alone, that no
// other entry runs, that lies among no other application's files and that is named after it (an
// AppImage, a program the user built), or with the folder it was unpacked into, when the user
// chooses that folder. A runner, an interpreter, a store client, a script serve more than this
// entry; a package, a Flatpak or a snap is removed by its own tool. A program that is not found
// proves nothing of its application: only the launcher that starts nothing may go.
struct Fate {
    // Its own program: it goes with the entry, or inside `folder`.
    std::optional<fs::path> program = std::nullopt;
    // The folder it was unpacked into, which holds no other application: offered, never preselected.
    std::optional<fs::path> folder = std::nullopt;
    // Its entry starts a program that is not there.
    bool programNotFound = false;
    // A web app: its entry, its icon and its profile are all of it; its browser stays.
    bool webApp = false;
    // The service that runs its program, which keeps it installed.
    std::optional<SessionRunner> runBy = std::nullopt;

    // Whether it stays whatever is moved: nothing of it is known to go.
    bool stays() const { return !program && !programNotFound && !webApp; }
    // Whether moving its entry and its own program takes it away, as the list proposes.
    bool goesAsProposed() const { return program && !folder; }
    // Whether its entry is proposed: with its own program, or as a launcher that starts nothing.
    bool entryGoes() const { return goesAsProposed() || programNotFound || webApp; }

    static Fate of(const ShownEntry& shown, const QStringList& keys, const DesktopEntries& entries) {
        if (shown.masksAnother || shown.sandbox || !userCanMove(shown.file) || !isUsersOwnEntry(shown.file)) return {};
        const EntryProgram& program = shown.program;
        if (shown.isWebApp) return {.programNotFound = program.found == EntryProgram::Found::nowhere, .webApp = true};
        switch (program.found) {
        case EntryProgram::Found::unknown: return {};
        case EntryProgram::Found::nowhere: return {std::nullopt, std::nullopt, true};
        case EntryProgram::Found::present: break;
        }
        if (auto service = entries.serviceRunning(program)) return {.runBy = std::move(service)};
        const std::unordered_set<std::string> own = entries.ownEntries(shown);
        if (entries.othersRunning(program, own) != 0) return {};
        if (!program.standsAlone && !program.unpackedInto) return {};
        const OthersPlaces others = entries.othersPlaces(shown.file, own);
        if (program.standsAlone)
            return keys.contains(programKey(program)) && !others.touch(program.path) ? Fate{program.path, std::nullopt} : Fate{};
        if (!others.touch(*program.unpackedInto)) return {program.path, program.unpackedInto};
        return {};
    }
};

// The shown entry of an application, read again when the desktop no longer shows it.
std::optional<ShownEntry> shownEntry(const InstalledApplication& application, const DesktopEntries& entries, const SystemRoots& roots) {
    const auto shown = std::find_if(entries.shown.begin(), entries.shown.end(), [&](const ShownEntry& each) { return each.file == application.path; });
    if (shown != entries.shown.end()) return *shown;
    auto entry = DesktopEntry::read(application.path);
    if (!entry) return std::nullopt;
    EntryProgram program = EntryProgram::of(*entry, roots, DesktopApplications::environmentSearchPath());
    const bool webApp = isWebApp(application.path, PathText::fromText(application.desktopFileID).native(), *entry, roots);
    auto sandbox = webApp ? std::nullopt : SandboxPackage::of(application.path, *entry, roots);
    return ShownEntry{application.path, PathText::fromText(application.desktopFileID).native(), std::move(*entry), std::move(program), std::move(sandbox), webApp};
}

// The names an application's items carry as they are written: its Name, untranslated and
// translated, its desktop-file ID and its AppImage's name.
QStringList exactNames(const ShownEntry& shown, const QLocale& locale) {
    QStringList names{shown.entry.text("Name").value_or(QString()), applicationName(shown, locale), withoutIntegrationPrefix(PathText::display(shown.id))};
    if (shown.program.isAppImage) names << programName(PathText::display(shown.program.path.filename()));
    names.removeIf([](const QString& name) { return !isUsableKey(name); });
    return names;
}

// Many programs keep their data under a lower-case name ("obsidian" for Obsidian), but a name that
// differs only in letter case yields to an item of the exact name beside it: ~/.config/session is
// not Session's where ~/.config/Session stands.
bool yieldsToExactNamesake(const fs::path& item, const QStringList& exact) {
    const QString name = PathText::display(item.filename());
    if (exact.contains(name)) return false;
    return std::any_of(exact.begin(), exact.end(), [&](const QString& each) {
        return each.compare(name, Qt::CaseInsensitive) == 0 && linkStatus(item.parent_path() / PathText::fromText(each));
    });
}

// The programs kept anywhere outside this application (on the search path, in the program folders,
// where AppImages and unpacked applications are kept) and the installed packages, by the name they
// go by: read once for a list.
class OtherInstalls {
public:
    // `own`: what the application's entry itself runs, resolved ("prime-run ~/Applications/x.AppImage"
    // runs both), the folder it is installed in and the package that installed it, which are no
    // other install.
    // `initials`: the first letters of the names of the items asked about later; a name that begins
    // otherwise can never be theirs, and its key is not made.
    OtherInstalls(const SystemRoots& roots, std::vector<fs::path> own, std::optional<fs::path> ownFolder, std::string_view ownPackage, const QString& initials)
        : own_(std::move(own)), ownFolder_(std::move(ownFolder)) {
        auto mayName = [&](std::string_view name) {
            const auto first = std::find_if(name.begin(), name.end(), [](char c) { return c != ' ' && c != '-' && c != '_' && c != '.'; });
            return first != name.end() && (static_cast<unsigned char>(*first) >= 0x80 || initials.contains(QLatin1Char(char(std::tolower(static_cast<unsigned char>(*first))))));
        };
        auto add = [&](std::string_view name, fs::path install) {
            if (!mayName(name)) return;
            // Another build of an application ("kdenlive-master-….AppImage") goes by its name too.
            for (const QString& key : {programNameKey(PathText::display(fs::path(name))), otherBuildKey(PathText::display(fs::path(name)))})
                if (isUsableKey(key)) byName_[key].push_back(install);
        };
        for (fs::path& program : KeptPrograms::everywhere(roots, DesktopApplications::environmentSearchPath())) add(program.filename().native(), program);
        // A package goes by its name without architecture, version and flavour ("imagemagick-6.q16" is
        // ImageMagick) and by the programs it installs; it is named by its name.
        const auto programs = DpkgDatabase::programsByPackage(roots.root);
        std::map<std::string_view, const std::vector<std::string>*> packages;
        for (const auto& [package, listed] : programs) packages.emplace(std::string_view(package).substr(0, package.find(':')), &listed);
        packages.erase(ownPackage.substr(0, ownPackage.find(':')));
        for (const auto& [package, listed] : packages) {
            add(package, fs::path(package));
            for (const std::string& program : *listed) add(std::string_view(program).substr(program.rfind('/') + 1), roots.underRoot(program));
        }
    }

    // The install that uses a leftover named after its program or its package, in any letter case
    // and without version or extension (a Homebrew nvim beside a Neovim AppImage, a second Obsidian
    // AppImage in ~/Downloads, Debian's imagemagick-6.q16 beside an ImageMagick AppImage), or another
    // entry that starts one of that name, inside a container too: none when the only program of that
    // name is this application's own. A package is named by its name, as a path of one component.
    std::optional<fs::path> installUsing(const fs::path& item, const DesktopEntries& entries, const std::unordered_set<std::string>& ownEntries) const {
        const QString key = programNameKey(PathText::display(item.filename()));
        if (auto entry = entries.anotherStarting(key, ownEntries)) return entry;
        const auto named = byName_.find(key);
        if (named == byName_.end()) return std::nullopt;
        for (const fs::path& program : named->second) {
            if (program.is_relative()) return program;
            if (const auto real = realPath(program); !real || !isOwn(*real)) return program;
        }
        return std::nullopt;
    }

private:
    bool isOwn(const fs::path& real) const {
        return std::find(own_.begin(), own_.end(), real) != own_.end() || (ownFolder_ && liesWithin(real, *ownFolder_));
    }

    std::vector<fs::path> own_;
    std::optional<fs::path> ownFolder_;
    std::unordered_map<QString, std::vector<fs::path>> byName_;
};

// A web app's own items beside its entry, each named by its ID, its class or its code name: its icons
// (the file its Icon names, or the icons of its ID in the user's icon theme and the portal's icon
// folder) and the profile folder its browser keeps for it alone ("--profile=~/.local/share/<ID>").
std::vector<fs::path> webAppItems(const ShownEntry& shown, const SystemRoots& roots) {
    std::vector<fs::path> items;
    const fs::path home = realPath(roots.home).value_or(roots.home);
    const std::string& id = shown.id;
    auto inHome = [&](const std::string& word) -> std::optional<fs::path> {
        if (word.starts_with("~/")) return roots.home / word.substr(2);
        if (word.starts_with('/')) return roots.root / fs::path(word).relative_path();
        return std::nullopt;
    };
    auto take = [&](const fs::path& item) {
        if (linkStatus(item) && liesWithin(locatedPath(item), home) && std::find(items.begin(), items.end(), item) == items.end()) items.push_back(item);
    };
    // The portal's own file, when the entry is its link.
    const fs::path portal = roots.dataHome / "xdg-desktop-portal/applications";
    if (const auto real = realPath(shown.file); real && isLink(shown.file) && liesWithin(*real, realPath(portal).value_or(portal))) take(*real);
    const std::vector<std::string> names = webAppNames(id, shown.entry);
    const std::string icon = shown.entry.text("Icon").value_or(QString()).toStdString();
    if (const auto file = inHome(icon); file && std::find(names.begin(), names.end(), file->stem().native()) != names.end()) take(*file);
    if (icon == id)
        for (const fs::path& theme : {roots.dataHome / "icons/hicolor", roots.dataHome / "xdg-desktop-portal/icons"})
            for (const fs::path& size : FolderListing::entries(theme).value_or(std::vector<fs::path>{}))
                for (const fs::path& folder : {size, size / "apps"})
                    for (std::string_view extension : {".png", ".svg", ".xpm"}) take(folder / (id + std::string(extension)));
    for (const std::string& profile : profileFolders(everyCommand(shown.entry)))
        if (const auto folder = inHome(profile); folder && namedByOneOf(profile, names)) {
            take(*folder);
            // A profile named through a link (Mint's for Epiphany) is the folder it leads to, when that
            // one is named so too.
            if (const auto real = realPath(*folder); real && isLink(*folder) && namedByOneOf(real->native(), names)) take(*real);
        }
    return items;
}

// The folders in a leftover, down to a few levels, named exactly as another listed application is:
// its data kept in a shared folder (a game's saves in its engine's, ~/.local/share/godot/app_userdata/
// Brotato). The first found, when any.
std::optional<fs::path> folderOfAnother(const fs::path& item, const std::unordered_set<std::string>& othersNames) {
    constexpr int deepest = 3;
    std::vector<std::pair<fs::path, int>> pending{{item, 0}};
    while (!pending.empty()) {
        auto [folder, depth] = std::move(pending.back());
        pending.pop_back();
        const auto info = linkStatus(folder);
        if (!info || !S_ISDIR(info->st_mode)) continue;
        if (depth > 0 && othersNames.contains(folder.filename().native())) return folder;
        if (depth < deepest)
            for (fs::path& entry : FolderListing::entries(folder).value_or(std::vector<fs::path>{})) pending.emplace_back(std::move(entry), depth + 1);
    }
    return std::nullopt;
}

// The links in the user's program folders and on the Desktop that lead to `target` or into it:
// they go with it, or they are left leading nowhere.
std::vector<fs::path> linksTo(const fs::path& target, const SystemRoots& roots) {
    std::vector<fs::path> links = {};
    const auto real = realPath(target);
    if (!real) return links;
    for (const fs::path& folder : {roots.home / ".local/bin", roots.home / "bin", roots.desktop}) {
        const std::size_t first = links.size();
        for (fs::path& entry : FolderListing::entries(folder).value_or(std::vector<fs::path>{}))
            if (isLink(entry))
                if (const auto leadsTo = realPath(entry); leadsTo && liesWithin(*leadsTo, *real)) links.push_back(std::move(entry));
        std::sort(links.begin() + std::ptrdiff_t(first), links.end());
    }
    return links;
}

// A packaged application is its program's package, found by the program's real file past the
// alternatives' links (Debian's vim.desktop is vim-common's; its /usr/bin/vim.basic, vim's): that
// package is named, measured and left to the package manager. The entry's own package only where
// the program has none; nothing for an entry no package installed.
const DpkgDatabase::Package* applicationPackage(const fs::path& entryFile, const EntryProgram& program,
                                                const std::unordered_map<std::string, DpkgDatabase::Package>& owners) {
    const auto entryOwner = owners.find(entryFile.string());
    if (entryOwner == owners.end()) return nullptr;
    if (program.found == EntryProgram::Found::present)
        if (const auto programOwner = owners.find(program.realFile.string()); programOwner != owners.end()) return &programOwner->second;
    return &entryOwner->second;
}

// The chosen items in the order they go: one inside another chosen item first, so that each goes
// as the item that was listed, and the figure of what goes is what the Trash receives.
std::vector<AppArtifact> movingOrder(std::vector<AppArtifact> artifacts) {
    std::erase_if(artifacts, [](const AppArtifact& artifact) { return !artifact.isSelected || artifact.isLocked(); });
    std::vector<AppArtifact> inner, outer;
    for (const AppArtifact& artifact : artifacts) (ArtifactSelection::liesInAnotherTicked(artifact, artifacts) ? inner : outer).push_back(artifact);
    inner.insert(inner.end(), outer.begin(), outer.end());
    return inner;
}

// What a Flatpak or a snap keeps installed.
std::int64_t installedSize(const SandboxPackage& package) {
    std::int64_t total = 0;
    for (const fs::path& item : package.installedItems) total = saturatingSum(total, allocatedSize(item));
    return total;
}

}  // namespace

std::vector<InstalledApplication> UninstallerService::installedApplications() {
    std::lock_guard lock(mutex_);
    const SystemRoots roots = SystemRoots::current();
    const QLocale locale = AppLocalization::activeLocale();

    const DesktopEntries entries = desktopEntries(roots);
    std::vector<InstalledApplication> applications;
    std::vector<Fate> fates;
    std::vector<fs::path> files;
    for (const ShownEntry& shown : entries.shown) {
        InstalledApplication application;
        application.id = shown.file.string();
        application.path = shown.file;
        application.name = applicationName(shown, locale);
        application.desktopFileID = PathText::display(shown.id);
        application.version = noVersion;
        application.iconName = shown.entry.text("Icon").value_or(QString()).toStdString();
        fates.push_back(Fate::of(shown, applicationKeys(shown, locale), entries));
        applications.push_back(std::move(application));
        files.push_back(shown.file);
        if (fates.back().program) files.push_back(*fates.back().program);
        if (shown.program.found == EntryProgram::Found::present) files.push_back(shown.program.realFile);
    }

    const auto owners = DpkgDatabase::owners(files, roots.root);
    std::unordered_map<std::string, std::int64_t> sizeOfPackage;
    for (std::size_t i = 0; i < applications.size(); ++i) {
        InstalledApplication& application = applications[i];
        const Fate& fate = fates[i];
        const ShownEntry& shown = entries.shown[i];
        application.staysInstalled = fate.stays();
        application.programNotFound = fate.programNotFound;
        if (fate.runBy) {
            application.runBy = fate.runBy->name;
            application.runByKind = fate.runBy->kind;
        }
        if (shown.sandbox) {
            application.size = installedSize(*shown.sandbox);
            continue;
        }
        const DpkgDatabase::Package* package = applicationPackage(application.path, shown.program, owners);
        if (!package) {
            // Only what goes with the application counts: its entry, and its program when it is its own.
            application.size = allocatedSize(application.path);
            if (fate.webApp)
                for (const fs::path& item : webAppItems(shown, roots)) application.size = saturatingSum(application.size, allocatedSize(item));
            if (!fate.program) continue;
            // A program a package installed is the package's, whatever its place.
            if (owners.contains(fate.program->string())) application.staysInstalled = true;
            else application.size = saturatingSum(application.size, allocatedSize(fate.folder.value_or(*fate.program)));
            continue;
        }
        application.staysInstalled = true;
        application.programNotFound = false;
        if (!package->version.empty()) application.version = QString::fromStdString(package->version);
        auto [size, isNew] = sizeOfPackage.try_emplace(package->name, 0);
        if (isNew) size->second = packageSize(*package, roots.root);
        application.size = size->second;
    }

    const QCollator collator = nameCollator(false);
    std::stable_sort(applications.begin(), applications.end(), [&](const auto& a, const auto& b) { return collator.compare(a.name, b.name) < 0; });
    return applications;
}

std::vector<AppArtifact> UninstallerService::artifacts(const InstalledApplication& application) {
    std::lock_guard lock(mutex_);
    const SystemRoots roots = SystemRoots::current();
    const QLocale locale = AppLocalization::activeLocale();
    std::unordered_set<std::string> taken;
    std::vector<AppArtifact> found;
    const MountPoints mounts = MountPoints::of(roots);
    HomeWholes wholes(roots.home);
    const HomeDotfiles dotfiles = HomeDotfiles::of(roots, mounts);
    auto add = [&](const fs::path& item, ArtifactCategory category, bool selected) {
        if (LinuxLocations::isSharedFolder(item, roots) || roots.holdsPersonalFolder(item) || !taken.insert(normalFolder(item).string()).second) return;
        // What cannot be told apart from another item later is not proposed.
        const auto identity = FileIdentity::at(item);
        if (!identity) return;
        // Another file system mounted there is not the application's. A leftover is looked into for
        // the user's own work: a repository it is, holds or lies in, one it is linked from.
        const bool leftover = category != ArtifactCategory::application;
        const auto kept = leftover ? dotfiles.keeping(item) : std::nullopt;
        MeasuredTree measured = measuredTree(item, leftover ? &wholes : nullptr);
        if (leftover && !measured.whole) measured.whole = wholes.around(normalFolder(item).parent_path());
        selected = selected && !kept && !measured.crossesFileSystems && !mounts.atOrBelow(locatedPath(item));
        found.push_back(AppArtifact{.path = item,
                                    .size = measured.bytes,
                                    .category = category,
                                    .isSelected = selected,
                                    .whole = measured.whole,
                                    .leadsIntoWhole = measured.throughLink,
                                    .keptInDotfiles = kept ? kept->repository : fs::path(),
                                    .dotfilesUnread = kept && !kept->known,
                                    .identity = identity});
    };

    const DesktopEntries entries = desktopEntries(roots);
    const std::optional<ShownEntry> shown = shownEntry(application, entries, roots);
    const QStringList keys = shown ? leftoverKeys(*shown, locale) : nameKeys(QStringList{application.name}, application.desktopFileID);
    // An entry that is gone says nothing of where its application is.
    const Fate fate = shown ? Fate::of(*shown, applicationKeys(*shown, locale), entries) : Fate{};
    const std::optional<SandboxPackage> sandbox = shown ? shown->sandbox : std::nullopt;
    const std::vector<fs::path> webItems = shown && fate.webApp ? webAppItems(*shown, roots) : std::vector<fs::path>{};
    if (linkStatus(application.path) && !holdsBaseFolder(application.path, roots)) {
        add(application.path, ArtifactCategory::application, fate.entryGoes());
        if (shown)
            for (const fs::path& link : shown->links) add(link, ArtifactCategory::application, fate.entryGoes() && isUsersOwnEntry(link));
        // Its hidden second entries start its program: left behind, they would start nothing.
        if (shown)
            for (const fs::path& companion : entries.companions(*shown)) add(companion, ArtifactCategory::application, fate.entryGoes());
        if (fate.webApp)
            for (const fs::path& item : webItems) add(item, linkStatus(item) && S_ISDIR(linkStatus(item)->st_mode) ? ArtifactCategory::support : ArtifactCategory::application, true);
        if (fate.folder) add(*fate.folder, ArtifactCategory::application, false);
        else if (fate.program) add(*fate.program, ArtifactCategory::application, true);
        if (fate.program)
            for (const fs::path& link : linksTo(fate.folder.value_or(*fate.program), roots)) add(link, ArtifactCategory::application, !fate.folder);
    }

    const QStringList exact = shown ? exactNames(*shown, locale) : QStringList{application.name, application.desktopFileID};
    const std::optional<fs::path> ownProgram = shown && shown->program.found == EntryProgram::Found::present ? std::optional(shown->program.realFile) : std::nullopt;
    const std::unordered_set<std::string> ownEntries =
        shown ? entries.ownEntries(*shown) : std::unordered_set<std::string>{realPath(application.path).value_or(application.path).native()};
    const std::vector<fs::path> flatpakData = LinuxLocations::folders("Library/Containers", roots);
    // A leftover found under the application's names may still be another's: a Flatpak's of the same
    // one in ~/.var/app, or one that yields to the folder of the exact name beside it. (One another
    // application's name claims is unticked below, with that application named.)
    auto mayBeItsOwn = [&](const fs::path& item) {
        const bool flatpaks = std::any_of(flatpakData.begin(), flatpakData.end(), [&](const fs::path& folder) { return liesDirectlyIn(item, folder); });
        return !(flatpaks && !sandbox) && !yieldsToExactNamesake(item, exact);
    };

    for (const FixedCandidate& candidate : fixedCandidates) {
        const QString& key = candidate.key == Key::identifier ? application.desktopFileID : application.name;
        if (!isUsableKey(key)) continue;
        const std::string name = LinuxLocations::itemName(PathText::fromText(key).native(), candidate.suffix);
        for (const fs::path& folder : LinuxLocations::folders(candidate.folder, roots)) {
            const fs::path item = folder / name;
            if (liesDirectlyIn(item, folder) && linkStatus(item)) add(item, candidate.category, mayBeItsOwn(item));
        }
    }

    // Every name that holds a key is listed; a key of a letter or two only where it begins a name
    // before a separator ("qv-data"). Only the application's own names are ticked.
    auto mentionsAKey = [&](const QString& name, const QString& entryKey) {
        return std::any_of(keys.begin(), keys.end(), [&](const QString& key) {
            if (key.size() >= shortestContainedKey) return entryKey.contains(key);
            const QString lowered = name.toLower();
            return lowered.size() > key.size() && lowered.startsWith(key) && QStringLiteral(" -_.").contains(lowered[key.size()]);
        });
    };
    for (const SearchedFolder& searched : searchedFolders) {
        for (const fs::path& folder : LinuxLocations::folders(searched.folder, roots)) {
            const auto listing = FolderListing::entries(folder);
            if (!listing) continue;
            for (const fs::path& entry : *listing) {
                if (FolderListing::isHidden(entry)) continue;
                const QString name = PathText::display(entry.filename());
                const bool itsOwn = namesItsOwn(entry, keys);
                if (itsOwn || mentionsAKey(name, nameKey(name))) add(entry, searched.category, itsOwn && mayBeItsOwn(entry));
            }
        }
    }

    // A file a package installed goes only with its package: it is shown, never ticked. The
    // application's entry is then measured as in the list of applications, by all its package owns.
    std::vector<fs::path> paths;
    for (const AppArtifact& artifact : found) paths.push_back(artifact.path);
    if (fate.program) paths.push_back(*fate.program);
    if (ownProgram) paths.push_back(*ownProgram);
    const auto owners = DpkgDatabase::owners(paths, roots.root);
    // A packaged entry's program, or a program a package installed, is no program of the user's,
    // nor is the folder that holds it.
    if (fate.program && (owners.contains(application.path.string()) || owners.contains(fate.program->string())))
        std::erase_if(found, [&](const AppArtifact& artifact) { return artifact.path == *fate.program || artifact.path == fate.folder; });
    for (AppArtifact& artifact : found) {
        if (sandbox && artifact.path == application.path) {
            artifact.package = sandbox->name;
            artifact.packageKind = sandbox->kind;
            artifact.size = installedSize(*sandbox);
            continue;
        }
        if (artifact.path == application.path && shown) {
            if (const DpkgDatabase::Package* package = applicationPackage(application.path, shown->program, owners)) {
                artifact.package = package->name;
                artifact.size = packageSize(*package, roots.root);
            }
            continue;
        }
        const auto owner = owners.find(artifact.path.string());
        if (owner == owners.end()) continue;
        artifact.package = owner->second.name;
        if (artifact.path == application.path) artifact.size = packageSize(owner->second, roots.root);
    }
    // Nothing that holds another application, or lies inside one, is preselected: a launcher's
    // settings may hold the games it installed. A leftover named after a program another install
    // provides is that install's too, and says which.
    const OthersPlaces others = entries.othersPlaces(application.path, ownEntries);
    const DpkgDatabase::Package* ownPackage = shown ? applicationPackage(application.path, shown->program, owners) : nullptr;
    QString initials;
    for (const AppArtifact& artifact : found)
        if (const QString key = programNameKey(PathText::display(artifact.path.filename())); !key.isEmpty() && !initials.contains(key.front())) initials += key.front();
    const OtherInstalls otherInstalls(roots, shown ? shown->program.runs : std::vector<fs::path>{}, shown ? shown->program.unpackedInto : std::nullopt,
                                      ownPackage ? std::string_view(ownPackage->name) : std::string_view(), initials);
    // A leftover that holds a folder named after another listed application holds its data.
    std::unordered_set<std::string> othersNames;
    for (const ShownEntry& other : entries.shown)
        if (other.file != application.path)
            for (const QString& name : exactNames(other, locale))
                if (name.size() >= shortestContainedKey && !exact.contains(name)) othersNames.insert(PathText::fromText(name).native());
    // A leftover that another application's name claims too may be that one's: a packaged htop's
    // settings beside an htop AppImage, FreeCAD's beside "FreeCAD Weekly", another build of it.
    std::vector<std::pair<fs::path, QStringList>> othersKeys;
    std::unordered_map<std::string, QString> othersNamed;
    for (const ShownEntry& other : entries.shown)
        if (other.file != application.path) {
            QStringList claims = leftoverKeys(other, locale);
            for (const QString& name : exactNames(other, locale))
                if (const QString key = otherBuildKey(name); !key.isEmpty()) claims << key;
            othersKeys.emplace_back(other.file, std::move(claims));
            for (const fs::path& file : {other.file, realPath(other.file).value_or(other.file)}) othersNamed.emplace(file.native(), applicationName(other, locale));
        }
    // The entry of the first other application whose names claim the item, when one does.
    auto claimant = [&](const fs::path& item) -> std::optional<fs::path> {
        for (const auto& [file, otherKeys] : othersKeys)
            if (namesItsOwn(item, otherKeys)) return file;
        return std::nullopt;
    };
    for (AppArtifact& artifact : found) {
        if (artifact.category != ArtifactCategory::application) {
            if (auto install = otherInstalls.installUsing(artifact.path, entries, ownEntries)) artifact.usedBy = std::move(*install);
            else if (auto data = folderOfAnother(artifact.path, othersNames)) artifact.usedBy = std::move(*data);
            else if (auto other = claimant(artifact.path)) artifact.usedBy = std::move(*other);
            if (const auto named = othersNamed.find(artifact.usedBy.native()); named != othersNamed.end()) artifact.usedByName = named->second;
        }
        if (artifact.isLocked() || !artifact.usedBy.empty() || artifact.whole || others.touch(artifact.path)) artifact.isSelected = false;
    }
    // One decision: the application goes only when its own program is ticked in this very list, not
    // taken by a package nor lying among another application's files. An application that stays
    // keeps its data unless the user ticks it: its settings, mail or saves are still in use. Of a
    // launcher that starts nothing, only the launcher is proposed.
    const bool programGoes = fate.goesAsProposed() && std::any_of(found.begin(), found.end(), [&](const AppArtifact& artifact) {
                                 return artifact.path == *fate.program && artifact.isSelected;
                             });
    // A web app goes with its own items alone.
    auto launcherItem = [&](const fs::path& item) {
        return ((fate.programNotFound || fate.webApp) && item == application.path) ||
               (fate.webApp && std::find(webItems.begin(), webItems.end(), item) != webItems.end());
    };
    for (AppArtifact& artifact : found)
        if (!programGoes && !launcherItem(artifact.path)) artifact.isSelected = false;

    // The entry first, then the program it runs, then the leftovers by size, largest first.
    auto rank = [&](const AppArtifact& artifact) { return artifact.path == application.path ? 0 : artifact.category == ArtifactCategory::application ? 1 : 2; };
    std::stable_sort(found.begin(), found.end(), [&](const AppArtifact& a, const AppArtifact& b) {
        if (rank(a) != rank(b)) return rank(a) < rank(b);
        return a.size > b.size;
    });
    return found;
}

std::vector<fs::path> UninstallerService::moveToTrash(const std::vector<AppArtifact>& artifacts) {
    std::lock_guard lock(mutex_);
    std::vector<fs::path> moved;
    std::vector<TrashError> failures;
    const MountPoints mounts = MountPoints::of(SystemRoots::current());
    MovedNames moves;
    for (const AppArtifact& artifact : movingOrder(artifacts)) {
        // A mount made since the listing would go along with its folder.
        if (holdsAMount(artifact.path, mounts)) {
            failures.emplace_back(TrashError::Reason::mounted, artifact.path, EBUSY);
            continue;
        }
        // One item that cannot go never keeps the others; a link goes as the link it is; another item
        // put under a listed name since stays, named as changed.
        try {
            const auto expected = moves.expected(artifact.identity);
            auto location = Trash::moveToTrash(artifact.path, {.expected = expected, .moveDanglingLinks = true});
            if (!location) throw TrashError(TrashError::Reason::moveFailed, artifact.path, ENOENT);
            if (artifact.identity) moves.moved(*artifact.identity, *expected, *location);
            moved.push_back(std::move(*location));
        } catch (const TrashError& error) {
            failures.push_back(error);
        }
    }
    if (!failures.empty()) throw UninstallError(std::move(failures), std::move(moved));
    return moved;
}

PlaceIndex UninstallerService::placesRun() {
    const SystemRoots roots = SystemRoots::current();
    const DesktopEntries entries = desktopEntries(roots);
    PlaceIndex index;
    // Named by one of the entries, the same one whatever order the table keeps them in.
    auto addNamed = [&](const auto& byPlace) {
        for (const auto& [place, users] : byPlace)
            if (!users.empty()) index.add(place, fs::path(*std::min_element(users.begin(), users.end())).filename().native());
    };
    addNamed(entries.runners);
    addNamed(entries.folderUsers);
    const std::vector<fs::path> searchPath = DesktopApplications::environmentSearchPath();
    for (const fs::path& folder : EntryProgram::programFolders(roots.home))
        for (const fs::path& file : FolderListing::entries(folder).value_or(std::vector<fs::path>{})) {
            const EntryProgram program = EntryProgram::ofProgramFile(file, roots, searchPath);
            for (const auto* places : {&program.runs, &program.folders})
                for (const fs::path& place : *places) index.add(place, file.filename().native());
        }
    index.sort();
    return index;
}
