#include "Services/StartupItemsService.h"

#include "Foundation/PathText.h"
#include "Models/AppLocalization.h"
#include "Models/ByteFormatting.h"
#include "Models/DisplayText.h"
#include "Models/NameCollator.h"
#include "Platform/AutostartSwitch.h"
#include "Platform/CurrentDesktops.h"
#include "Platform/FolderListing.h"
#include "Platform/LinuxLocations.h"
#include "Platform/StartupEntry.h"
#include "Platform/SystemRoots.h"
#include "Platform/Trash.h"

#include <QCollator>

#include <algorithm>
#include <array>
#include <cctype>
#include <map>
#include <cerrno>
#include <set>
#include <string_view>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// The folders, in listing order. Their places on Linux come from LinuxLocations.
struct StartupFolder {
    std::string_view location;  // relative: below the home folder
    bool canChange;
};

constexpr std::array startupFolders{
    StartupFolder{"Library/LaunchAgents", true},
    StartupFolder{"/Library/LaunchAgents", false},
    StartupFolder{"/Library/LaunchDaemons", false},
};
const StartupFolder& userFolder = startupFolders[0];
const StartupFolder& systemFolder = startupFolders[1];

constexpr std::string_view disabledExtension = "disabled";

// The first file of that name in one of the folders.
std::optional<fs::path> fileIn(const StartupFolder& folder, const fs::path& fileName, const SystemRoots& roots) {
    for (const fs::path& directory : LinuxLocations::folders(folder.location, roots))
        if (FileIdentity::at(directory / fileName)) return directory / fileName;
    return std::nullopt;
}

const StartupFolder& unitFolder = startupFolders[2];

// Whether the desktop starts an entry file at login by itself.
bool entryStarts(const fs::path& file) {
    return StartupEntry::readAutostart(file).starts();
}

// What the desktop does at the next login for the entries of one file name: the user's entry
// replaces the system's.
bool startsAtLogin(const fs::path& userEntry, const SystemRoots& roots) {
    if (FileIdentity::at(userEntry)) return entryStarts(userEntry);
    const auto system = fileIn(systemFolder, userEntry.filename(), roots);
    return system && entryStarts(*system);
}

StartupEntry readEntry(const StartupFolder& folder, const fs::path& file, const SystemRoots& roots) {
    if (&folder != &unitFolder) return StartupEntry::readAutostart(file);
    return StartupEntry::read(file, roots.root).value_or(StartupEntry{});
}

// Why the desktop cannot read an entry, or we could not: the row's help text. Empty when it was read.
QString readingProblem(const StartupEntry& entry) {
    using Reading = StartupEntry::Reading;
    switch (entry.reading) {
    case Reading::loaded: return {};
    case Reading::badLine: return AppLocalization::format("startup.problem.badLine", {qlonglong(entry.badLine)});
    case Reading::notAFile: return AppLocalization::string("startup.problem.notAFile");
    case Reading::noEntryGroup: return AppLocalization::string("startup.problem.noEntryGroup");
    case Reading::tooLarge: return AppLocalization::format("startup.problem.tooLarge", {ByteFormatting::string(std::int64_t(AutostartSwitch::maximumEntrySize))});
    case Reading::unreadable:
        return AppLocalization::format("startup.problem.unreadable", {QString::fromStdString(std::generic_category().message(entry.error))});
    }
    return {};
}

// Why this desktop does not start an entry that others would: empty when it would.
QString desktopNote(const StartupEntry& entry, const QStringList& desktops) {
    if (CurrentDesktops::show(entry.onlyShowIn, entry.notShowIn, desktops)) return {};
    if (!entry.onlyShowIn.isEmpty() && !CurrentDesktops::show(entry.onlyShowIn, {}, desktops))
        return AppLocalization::format("startup.onlyOn", {entry.onlyShowIn.join(QStringLiteral(", "))});
    return AppLocalization::format("startup.notOn", {desktops.join(QStringLiteral(", "))});
}

bool endsWithAnyCase(std::string_view name, std::string_view ending) {
    return name.size() > ending.size() &&
           std::equal(ending.begin(), ending.end(), name.end() - std::ptrdiff_t(ending.size()), [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

// A file of the user's autostart folder as the item it stands for: "x.desktop" is read by the
// desktop; "x.disabled" (switched off here), "x.desktop.disabled" (switched off by hand, or here
// beside another) and "x.Desktop" (which the desktop does not read) are x switched off, so a switch
// on makes "x.desktop" of any of them.
struct UserFile {
    std::string item;
    int rank = 0;  // 0 read by the desktop; 1 "x.desktop.disabled", 2 "x.disabled", 3 any other
};

std::optional<UserFile> userFile(const fs::path& file) {
    std::string name = file.filename().native();
    if (name.ends_with(".desktop")) return UserFile{name.substr(0, name.size() - 8), 0};
    int rank = 3;
    if (endsWithAnyCase(name, ".disabled")) {
        name.resize(name.size() - 9);
        rank = 2;
    }
    if (!endsWithAnyCase(name, ".desktop")) return rank == 2 ? std::optional(UserFile{name, rank}) : std::nullopt;
    rank = rank == 2 && name.ends_with(".desktop") ? 1 : 3;
    return UserFile{name.substr(0, name.size() - 8), rank};
}

// Of two files of the user's folder, the one whose item row switches it first: the file the
// desktop reads, else the one switched off last (a rename marks the file's change time), which a
// switch on gives back.
bool decidesFirst(const fs::path& a, const fs::path& b) {
    const auto first = userFile(a), second = userFile(b);
    if (!first || !second) return first && !second;
    if ((first->rank == 0) != (second->rank == 0)) return first->rank == 0;
    const auto one = FileIdentity::at(a), other = FileIdentity::at(b);
    auto changed = [](const std::optional<FileIdentity>& identity) {
        return identity ? std::pair(identity->changedSeconds, identity->changedNanoseconds) : std::pair<std::int64_t, std::int64_t>(0, 0);
    };
    if (changed(one) != changed(other)) return changed(one) > changed(other);
    return first->rank < second->rank;
}

// As messages show it: controls in the name are marks, so that they cannot reorder the sentence.
QString shownFileName(const fs::path& path) {
    return DisplayText::name(path.filename());
}

void check(const AutostartSwitch::Result& result, const fs::path& file, const char* failedKey) {
    switch (result.outcome) {
    case AutostartSwitch::Outcome::done: return;
    case AutostartSwitch::Outcome::changed: throw StartupError(StartupError::Case::changedSinceListed, shownFileName(file));
    case AutostartSwitch::Outcome::failed:
        if (result.error == ELOOP) throw StartupError(StartupError::Case::symbolicLink, shownFileName(file));
        throw std::system_error(result.error, std::generic_category(), AppLocalization::format(failedKey, {shownFileName(file)}).toStdString());
    }
}

}  // namespace

std::vector<StartupItem> StartupItemsService::items() {
    std::lock_guard lock(mutex_);
    const SystemRoots roots = SystemRoots::current();
    const QStringList desktops = CurrentDesktops::names();
    std::vector<StartupItem> found;
    std::set<fs::path> systemNames;
    // The row of each item of the user's folder, by the item's name.
    std::map<std::string, std::size_t> userRows;
    for (const StartupFolder& folder : startupFolders) {
        const std::string_view enabledExtension = LinuxLocations::enabledStartupExtension(folder.location);
        for (const fs::path& directory : LinuxLocations::folders(folder.location, roots)) {
            std::vector<fs::path> files = FolderListing::entries(directory).value_or(std::vector<fs::path>{});
            // The user's items: each file joins its item's row, whose switch acts on the file that
            // decides (the one the desktop reads, else the preferred one switched off).
            std::optional<UserFile> own;
            if (&folder == &userFolder) std::stable_sort(files.begin(), files.end(), decidesFirst);
            for (const fs::path& file : files) {
                const std::string extension = FolderListing::lowercaseExtension(file);
                if (extension != enabledExtension && extension != disabledExtension) continue;
                // Only a name with the exact extension is read: "x.Desktop" is not.
                const bool read = file.extension().native() == "." + std::string(enabledExtension);
                if (&folder == &userFolder) {
                    own = userFile(file);
                    if (!own) continue;
                    if (const auto row = userRows.find(own->item); row != userRows.end()) {
                        found[row->second].otherFiles.push_back(file);
                        continue;
                    }
                }
                // A user's entry of the same name replaces the system's, and the first system folder
                // holding a name hides the others': one row stands for them all.
                if (&folder == &systemFolder && (fileIn(userFolder, file.filename(), roots) || !systemNames.insert(file.filename()).second)) continue;
                const StartupEntry entry = readEntry(folder, file, roots);
                // A bare mask ("Hidden=true" alone) takes its name and program from the entry it replaces.
                std::optional<StartupEntry> replaced;
                if (&folder == &userFolder && read)
                    if (const auto system = fileIn(systemFolder, file.filename(), roots)) replaced = StartupEntry::readAutostart(*system);
                StartupItem item;
                item.id = file.string();
                item.path = file;
                if (entry.label) item.name = *entry.label;
                else if (replaced && replaced->label) item.name = *replaced->label;
                else item.name = PathText::display(own ? fs::path(own->item) : file.stem());
                if (entry.program) item.program = *entry.program;
                else if (replaced && replaced->program) item.program = *replaced->program;
                else item.program = AppLocalization::string("startup.unknownProgram");
                item.desktopNote = desktopNote(entry, desktops);
                item.isEnabled = read && entry.starts() && item.desktopNote.isEmpty();
                item.canChange = folder.canChange;
                item.identity = FileIdentity::at(file);
                item.isKnown = entry.reading != StartupEntry::Reading::tooLarge && entry.reading != StartupEntry::Reading::unreadable;
                item.readingProblem = readingProblem(entry);
                if (own) userRows.emplace(own->item, found.size());
                found.push_back(std::move(item));
            }
        }
    }
    const QCollator collator = nameCollator(true);
    std::stable_sort(found.begin(), found.end(), [&](const StartupItem& a, const StartupItem& b) { return collator.compare(a.name, b.name) < 0; });
    return found;
}

void StartupItemsService::setEnabled(const StartupItem& item, bool enabled) {
    std::lock_guard lock(mutex_);
    const SystemRoots roots = SystemRoots::current();
    const auto userFolders = LinuxLocations::folders(userFolder.location, roots);
    // Only the user's own folder is ever changed, whatever the item claims.
    const bool inUserFolder = std::find(userFolders.begin(), userFolders.end(), item.path.parent_path()) != userFolders.end();
    if (!item.canChange || !inUserFolder) throw StartupError(StartupError::Case::requiresAdministrator);

    // Only the very file listed, in the state listed, is switched.
    const std::string enabledExtension(LinuxLocations::enabledStartupExtension(userFolder.location));
    const auto own = userFile(item.path);
    const auto identity = FileIdentity::at(item.path);
    if (!own || !identity || identity != item.identity) throw StartupError(StartupError::Case::changedSinceListed, shownFileName(item.path));
    const bool named = own->rank == 0;
    // A file the desktop cannot read stays unread by it whatever its name or keys: no switch works.
    const StartupEntry listed = StartupEntry::readAutostart(item.path);
    if (const QString problem = readingProblem(listed); !problem.isEmpty() || !item.readingProblem.isEmpty())
        throw StartupError(StartupError::Case::notSwitchable, shownFileName(item.path), problem.isEmpty() ? item.readingProblem : problem);
    // Nor does a switch make this desktop start an entry meant for others.
    if (const QString note = desktopNote(listed, CurrentDesktops::names()); !note.isEmpty())
        throw StartupError(StartupError::Case::notSwitchable, shownFileName(item.path), note);
    if ((named && listed.starts()) != item.isEnabled) throw StartupError(StartupError::Case::changedSinceListed, shownFileName(item.path));
    if (enabled == item.isEnabled) return;

    const fs::path folder = item.path.parent_path();
    const fs::path entryPath = folder / (own->item + "." + enabledExtension);
    const bool replacesSystemEntry = fileIn(systemFolder, entryPath.filename(), roots).has_value();

    if (!enabled) {
        // Renamed away, the user's entry would let the system's of the same name start: it stays as
        // the mask it is and is told not to start.
        if (replacesSystemEntry) {
            check(AutostartSwitch::rewrite(item.path, *identity, false), item.path, "startup.writeFailed");
        } else {
            // Where the item has a file switched off already (by hand, or by another program), the
            // name with its extension kept: a switch never fails on a name it made itself, and the
            // file switched off last is the one a switch on gives back.
            const std::array<fs::path, 2> offNames{folder / (own->item + "." + std::string(disabledExtension)),
                                                   folder / (entryPath.filename().native() + "." + std::string(disabledExtension))};
            const fs::path& offName = FileIdentity::at(offNames[0]) ? offNames[1] : offNames[0];
            check(AutostartSwitch::rename(item.path, *identity, offName), item.path, "startup.renameFailed");
        }
    } else {
        fs::path current = item.path;
        FileIdentity renamed = *identity;
        if (!named) {
            check(AutostartSwitch::rename(item.path, *identity, entryPath), item.path, "startup.renameFailed");
            current = entryPath;
            // Our rename moved the file's status-change time: from here on it is checked as renamed.
            const auto now = FileIdentity::at(current);
            if (!now || !now->sameApartFromStatusChange(*identity)) throw StartupError(StartupError::Case::changedSinceListed, shownFileName(item.path));
            renamed = *now;
        }
        try {
            const StartupEntry entry = StartupEntry::readAutostart(current);
            if (!entry.starts()) {
                if (entry.program) check(AutostartSwitch::rewrite(current, renamed, true), current, "startup.writeFailed");
                // A bare mask over a system entry: without it the system's entry starts, if it would.
                else if (replacesSystemEntry && entryStarts(*fileIn(systemFolder, entryPath.filename(), roots)))
                    Trash::moveToTrash(current, {.expected = renamed});
                else throw StartupError(StartupError::Case::nothingToStart, shownFileName(current));
            }
        } catch (...) {
            if (current != item.path) AutostartSwitch::rename(current, renamed, item.path);
            throw;
        }
    }
    // Checked the way the desktop will read it at the next login.
    if (startsAtLogin(entryPath, roots) != enabled) throw StartupError(StartupError::Case::notApplied, shownFileName(item.path));
}
