#include "Services/UninstallerService.h"

#include "Models/AppLocalization.h"
#include "Models/NameCollator.h"
#include "Foundation/AllocatedBytes.h"
#include "Foundation/FileIdentity.h"
#include "Platform/DesktopApplications.h"
#include "Platform/DesktopEntry.h"
#include "Platform/DesktopEntryFile.h"
#include "Platform/DpkgDatabase.h"
#include "Platform/FolderListing.h"
#include "Platform/HomeProgram.h"
#include "Platform/LinuxLocations.h"
#include "Foundation/PathText.h"
#include "Platform/SystemRoots.h"
#include "Platform/Trash.h"
#include "Foundation/SaturatingSum.h"

#include <QCollator>
#include <QStringList>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <limits>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace fs = std::filesystem;

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
};

std::optional<struct stat> linkStatus(const fs::path& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return std::nullopt;
    return info;
}

std::int64_t blocksOf(const struct stat& info) {
    return allocatedBytes(static_cast<std::uint64_t>(info.st_blocks));
}

// Allocated bytes of the regular files in the tree at `location`, hidden entries and everything
// below them left out, no symbolic link followed. A location that is not a folder counts itself.
std::int64_t allocatedSize(const fs::path& location) {
    const int rootFd = ::open(location.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (rootFd < 0) {
        const auto info = linkStatus(location);
        return info ? blocksOf(*info) : 0;
    }
    std::int64_t total = 0;
    std::vector<fs::path> pending;
    int fd = rootFd;
    fs::path folder = location;
    while (true) {
        if (DIR* listing = fd >= 0 ? ::fdopendir(fd) : nullptr) {
            while (const dirent* entry = ::readdir(listing)) {
                if (entry->d_name[0] == '.') continue;  // also "." and ".."
                if (entry->d_type == DT_DIR) {
                    pending.push_back(folder / entry->d_name);
                    continue;
                }
                if (entry->d_type != DT_REG && entry->d_type != DT_UNKNOWN) continue;
                struct stat info {};
                if (::fstatat(::dirfd(listing), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
                if (S_ISREG(info.st_mode)) total = saturatingSum(total, blocksOf(info));
                else if (S_ISDIR(info.st_mode)) pending.push_back(folder / entry->d_name);
            }
            ::closedir(listing);
        } else if (fd >= 0) {
            ::close(fd);
        }
        if (pending.empty()) return total;
        folder = std::move(pending.back());
        pending.pop_back();
        fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    }
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

// A name or identifier used as a folder name or a match key must name one item of its own: "." or
// a slash would reach the folder itself or above.
bool isUsableKey(const QString& key) {
    return !key.isEmpty() && key != QLatin1String(".") && key != QLatin1String("..") && !key.contains(QLatin1Char('/')) && !key.contains(QChar(0));
}

// Keys shorter than this are found only as whole names ("qv", "qv-data"): inside other names ("aqva")
// a letter or two means nothing.
constexpr qsizetype shortestContainedKey = 3;

fs::path normalFolder(const fs::path& path) {
    fs::path normal = path.lexically_normal();
    return normal.has_filename() ? normal : normal.parent_path();
}

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

// The keys an item's name is matched with: the desktop-file ID and the name, lowered, the name also
// without its spaces.
QStringList nameKeys(const InstalledApplication& application) {
    const QString nameKey = application.name.toLower().remove(QLatin1Char(' '));
    QStringList keys;
    for (const QString& key : {application.desktopFileID.toLower(), nameKey})
        if (isUsableKey(key)) keys << key;
    if (isUsableKey(nameKey)) keys << application.name.toLower();
    return keys;
}

// Whether a matched entry is the application's own by its name: the key itself, or the key followed
// by a separator ("vim", "vim.log", "vim-backup", "org.gnome.Maps_1"). Names that merely contain the
// key ("nvim", "vimwiki") may be another program's or the user's, so they are listed unticked.
bool namesItsOwn(const QString& entryName, const QString& entryKey, const QStringList& keys) {
    static const QString separators = QStringLiteral(".-_ ");
    return std::any_of(keys.begin(), keys.end(), [&](const QString& key) {
        if (entryKey == key || entryName == key) return true;
        return entryName.size() > key.size() && entryName.startsWith(key) && separators.contains(entryName[key.size()]);
    });
}

bool namesItsOwn(const fs::path& item, const QStringList& keys) {
    const QString name = PathText::display(item.filename()).toLower();
    return namesItsOwn(name, QString(name).remove(QLatin1Char(' ')), keys);
}

// What of a program in the home folder goes with the application. Named by its path in Exec, all of
// it. Found by a bare name on the search path it may serve others (a conda or pyenv "python3"): only
// when that name is the application's, and the link's target only when its own name is too. A
// launcher serves others: given something to run it is no part of the application; alone, it is
// listed but never ticked.
struct ProgramShare {
    bool listed = false;
    bool link = false;
    bool file = false;

    static ProgramShare of(const HomeProgram& program, const QStringList& keys) {
        if (program.runsOtherPrograms) return {};
        if (program.isLauncher) return {true, false, false};
        if (program.searchedName.empty()) return {true, true, true};
        const bool named = namesItsOwn(fs::path(program.searchedName), keys);
        return {true, named, named && namesItsOwn(program.file, keys)};
    }

    std::int64_t size(const HomeProgram& program) const {
        const std::int64_t fileSize = file ? allocatedSize(program.file) : 0;
        return link && program.link ? saturatingSum(fileSize, allocatedSize(*program.link)) : fileSize;
    }
};

// The user can take an application's entry away only from a folder they may change (a package's
// files are locked apart).
bool userCanMove(const fs::path& application) {
    return ::faccessat(AT_FDCWD, application.parent_path().c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

// The desktops of this session, from XDG_CURRENT_DESKTOP ("GNOME", "KDE", "ubuntu:GNOME"); none
// under a bare window manager.
QStringList currentDesktops() {
    return QString::fromLocal8Bit(qgetenv("XDG_CURRENT_DESKTOP")).split(QLatin1Char(':'), Qt::SkipEmptyParts);
}

// As the desktop's menus decide: an entry made only for other desktops, or not for this one, is not shown.
bool showsOn(const DesktopEntry& entry, const QStringList& desktops) {
    auto names = [&](std::string_view key) { return entry.text(key).value_or(QString()).split(QLatin1Char(';'), Qt::SkipEmptyParts); };
    const QStringList only = names("OnlyShowIn");
    const QStringList excluded = names("NotShowIn");
    auto anyOf = [&](const QStringList& list) {
        return std::any_of(desktops.begin(), desktops.end(), [&](const QString& desktop) { return list.contains(desktop); });
    };
    if (!only.isEmpty() && !anyOf(only)) return false;
    return !anyOf(excluded);
}

// The entries the desktop shows, one per desktop-file id: as on the desktop, the user's folder first,
// then the system's in their order. A user's copy of a system entry is one application, not two.
struct ShownEntry {
    fs::path file;
    std::string id;
    DesktopEntry entry;
    // Another entry of this id lies behind this one: moving this one only brings that one back.
    bool masksAnother = false;
};

std::vector<ShownEntry> shownEntries(const SystemRoots& roots) {
    std::vector<fs::path> folders;
    for (auto original = applicationFolders.rbegin(); original != applicationFolders.rend(); ++original)
        for (fs::path& folder : LinuxLocations::folders(*original, roots)) folders.push_back(std::move(folder));

    const QStringList desktops = currentDesktops();
    std::vector<ShownEntry> shown;
    // Each id seen, with where its first entry stands in `shown` when that one is shown.
    std::unordered_map<std::string, std::optional<std::size_t>> seenIDs;
    for (const fs::path& folder : folders) {
        for (auto& [file, id] : DesktopEntryFile::below(folder)) {
            auto entry = DesktopEntry::read(file);
            if (!entry) continue;
            // An entry that hides or drops an application also shadows the system's entry of that id.
            auto [first, isFirst] = seenIDs.try_emplace(id, std::nullopt);
            if (!isFirst) {
                // The same file again, through a folder listed twice, is nothing behind the first.
                if (const auto shownAt = first->second; shownAt && FileIdentity::at(file) != FileIdentity::at(shown[*shownAt].file))
                    shown[*shownAt].masksAnother = true;
                continue;
            }
            // Hidden=true is the desktop's way of saying the entry was deleted.
            if (entry->text("Type") != QLatin1String("Application") || entry->flag("NoDisplay") || entry->flag("Hidden")) continue;
            if (!showsOn(*entry, desktops)) continue;
            first->second = shown.size();
            shown.push_back({std::move(file), std::move(id), std::move(*entry)});
        }
    }
    return shown;
}

// The user's program that the entry at `file` runs.
std::optional<HomeProgram> ownProgram(const fs::path& file, const SystemRoots& roots) {
    const auto entry = DesktopEntry::read(file);
    return entry ? HomeProgram::of(*entry, roots, DesktopApplications::environmentSearchPath()) : std::nullopt;
}

// Whether another entry the desktop shows runs `program` too.
bool sharedProgram(const HomeProgram& program, const fs::path& file, const SystemRoots& roots) {
    const std::vector<fs::path> searchPath = DesktopApplications::environmentSearchPath();
    const std::vector<ShownEntry> shown = shownEntries(roots);
    return std::any_of(shown.begin(), shown.end(), [&](const ShownEntry& other) {
        if (other.file == file) return false;
        const auto otherProgram = HomeProgram::of(other.entry, roots, searchPath);
        return otherProgram && otherProgram->file == program.file;
    });
}

}  // namespace

std::vector<InstalledApplication> UninstallerService::installedApplications() {
    std::lock_guard lock(mutex_);
    const SystemRoots roots = SystemRoots::current();
    const QLocale locale = AppLocalization::activeLocale();

    const std::vector<fs::path> searchPath = DesktopApplications::environmentSearchPath();
    std::vector<InstalledApplication> applications;
    std::vector<std::optional<HomeProgram>> programs;
    std::vector<fs::path> files;
    for (const auto& [file, id, entry, masksAnother] : shownEntries(roots)) {
        InstalledApplication application;
        application.id = file.string();
        application.path = file;
        application.name = entry.localizedText("Name", locale).value_or(nameWithoutExtension(file));
        application.desktopFileID = PathText::display(id);
        application.version = noVersion;
        application.iconName = entry.text("Icon").value_or(QString()).toStdString();
        application.staysInstalled = masksAnother;
        applications.push_back(std::move(application));
        files.push_back(file);
        programs.push_back(HomeProgram::of(entry, roots, searchPath));
        if (programs.back()) files.push_back(programs.back()->file);
    }

    const auto owners = DpkgDatabase::owners(files, roots.root);
    std::unordered_map<std::string, std::int64_t> sizeOfPackage;
    for (std::size_t i = 0; i < applications.size(); ++i) {
        InstalledApplication& application = applications[i];
        auto owner = owners.find(application.id);
        if (owner == owners.end()) {
            // The user's own program is part of the application; each application that runs it counts it.
            application.size = allocatedSize(application.path);
            if (const auto& program = programs[i]; program && !owners.contains(program->file.string()))
                application.size = saturatingSum(application.size, ProgramShare::of(*program, nameKeys(application)).size(*program));
            continue;
        }
        const DpkgDatabase::Package& package = owner->second;
        if (!package.version.empty()) application.version = QString::fromStdString(package.version);
        auto [size, isNew] = sizeOfPackage.try_emplace(package.name, 0);
        if (isNew) size->second = packageSize(package, roots.root);
        application.size = size->second;
    }

    const QCollator collator = nameCollator(false);
    std::stable_sort(applications.begin(), applications.end(), [&](const auto& a, const auto& b) { return collator.compare(a.name, b.name) < 0; });
    return applications;
}

std::vector<AppArtifact> UninstallerService::artifacts(const InstalledApplication& application) {
    std::lock_guard lock(mutex_);
    const SystemRoots roots = SystemRoots::current();
    std::unordered_set<std::string> taken;
    std::vector<AppArtifact> found;
    auto add = [&](const fs::path& item, ArtifactCategory category, bool selected) {
        if (LinuxLocations::isSharedFolder(item, roots) || roots.holdsPersonalFolder(item) || !taken.insert(normalFolder(item).string()).second) return;
        // What cannot be told apart from another item later is not proposed.
        const auto identity = FileIdentity::at(item);
        if (!identity) return;
        found.push_back(AppArtifact{Uuid::random(), item, allocatedSize(item), category, selected, {}, identity});
    };

    const QStringList keys = nameKeys(application);
    std::optional<HomeProgram> program;
    if (linkStatus(application.path) && !holdsBaseFolder(application.path, roots)) {
        const bool movable = userCanMove(application.path);
        add(application.path, ArtifactCategory::application, movable);
        program = ownProgram(application.path, roots);
        // The program goes with its entry, unless another application runs it too.
        if (const ProgramShare share = program ? ProgramShare::of(*program, keys) : ProgramShare(); share.listed) {
            const bool itsOwn = movable && !sharedProgram(*program, application.path, roots);
            if (program->link) add(*program->link, ArtifactCategory::application, itsOwn && share.link);
            add(program->file, ArtifactCategory::application, itsOwn && share.file);
        }
    }

    for (const FixedCandidate& candidate : fixedCandidates) {
        const QString& key = candidate.key == Key::identifier ? application.desktopFileID : application.name;
        if (!isUsableKey(key)) continue;
        const std::string name = LinuxLocations::itemName(PathText::fromText(key).native(), candidate.suffix);
        for (const fs::path& folder : LinuxLocations::folders(candidate.folder, roots)) {
            const fs::path item = folder / name;
            if (liesDirectlyIn(item, folder) && linkStatus(item)) add(item, candidate.category, true);
        }
    }

    // A name with its spaces is never inside an entry's key, which has none.
    QStringList containedKeys;
    for (const QString& key : keys)
        if (key.size() >= shortestContainedKey) containedKeys << key;
    for (const SearchedFolder& searched : searchedFolders) {
        for (const fs::path& folder : LinuxLocations::folders(searched.folder, roots)) {
            const auto listing = FolderListing::entries(folder);
            if (!listing) continue;
            for (const fs::path& entry : *listing) {
                if (FolderListing::isHidden(entry)) continue;
                const QString entryName = PathText::display(entry.filename()).toLower();
                const QString entryKey = QString(entryName).remove(QLatin1Char(' '));
                const bool itsOwn = namesItsOwn(entryName, entryKey, keys);
                if (itsOwn || std::any_of(containedKeys.begin(), containedKeys.end(), [&](const QString& key) { return entryKey.contains(key); }))
                    add(entry, searched.category, itsOwn);
            }
        }
    }

    // A file a package installed goes only with its package: it is shown, never ticked. The
    // application's entry is then measured as in the list of applications, by all its package owns.
    std::vector<fs::path> paths;
    for (const AppArtifact& artifact : found) paths.push_back(artifact.path);
    const auto owners = DpkgDatabase::owners(paths, roots.root);
    // A packaged entry's program, or a program a package installed, is no program of the user's.
    if (program && (owners.contains(application.path.string()) || owners.contains(program->file.string())))
        std::erase_if(found, [&](const AppArtifact& artifact) { return artifact.path == program->file || artifact.path == program->link; });
    for (AppArtifact& artifact : found) {
        const auto owner = owners.find(artifact.path.string());
        if (owner == owners.end()) continue;
        artifact.package = owner->second.name;
        artifact.isSelected = false;
        if (artifact.path == application.path) artifact.size = packageSize(owner->second, roots.root);
    }
    // An application that stays installed keeps its data unless the user ticks it: its settings, mail
    // or profile are still in use.
    const bool applicationStays = application.staysInstalled || std::any_of(found.begin(), found.end(), [&](const AppArtifact& artifact) {
        return artifact.path == application.path && !artifact.isSelected;
    });
    if (applicationStays)
        for (AppArtifact& artifact : found) artifact.isSelected = false;

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
    for (const AppArtifact& artifact : artifacts) {
        if (!artifact.isSelected || artifact.isLocked()) continue;
        // One item that cannot go never keeps the others; a link goes as the link it is; another item
        // put under a listed name since stays, named as changed.
        try {
            auto location = Trash::moveToTrash(artifact.path, {.expected = artifact.identity, .moveDanglingLinks = true});
            if (!location) throw TrashError(TrashError::Reason::moveFailed, artifact.path, ENOENT);
            moved.push_back(std::move(*location));
        } catch (const TrashError& error) {
            failures.push_back(error);
        }
    }
    if (!failures.empty()) throw UninstallError(std::move(failures), std::move(moved));
    return moved;
}
