#include "Services/StartupItemsService.h"

#include "Foundation/PathText.h"
#include "Models/AppLocalization.h"
#include "Models/ByteFormatting.h"
#include "Models/DisplayText.h"
#include "Models/NameCollator.h"
#include "Platform/AutostartSwitch.h"
#include "Platform/FolderListing.h"
#include "Platform/LinuxLocations.h"
#include "Platform/StartupEntry.h"
#include "Platform/SystemRoots.h"
#include "Platform/Trash.h"

#include <QCollator>

#include <algorithm>
#include <array>
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

// As messages show it: controls in the name are marks, so that they cannot reorder the sentence.
QString fileName(const fs::path& path) {
    return DisplayText::name(path.filename());
}

void check(const AutostartSwitch::Result& result, const fs::path& file, const char* failedKey) {
    switch (result.outcome) {
    case AutostartSwitch::Outcome::done: return;
    case AutostartSwitch::Outcome::changed: throw StartupError(StartupError::Case::changedSinceListed, fileName(file));
    case AutostartSwitch::Outcome::failed:
        if (result.error == ELOOP) throw StartupError(StartupError::Case::symbolicLink, fileName(file));
        throw std::system_error(result.error, std::generic_category(), AppLocalization::format(failedKey, {fileName(file)}).toStdString());
    }
}

}  // namespace

std::vector<StartupItem> StartupItemsService::items() {
    std::lock_guard lock(mutex_);
    const SystemRoots roots = SystemRoots::current();
    std::vector<StartupItem> found;
    std::set<fs::path> systemNames;
    for (const StartupFolder& folder : startupFolders) {
        const std::string_view enabledExtension = LinuxLocations::enabledStartupExtension(folder.location);
        for (const fs::path& directory : LinuxLocations::folders(folder.location, roots)) {
            for (const fs::path& file : FolderListing::entries(directory).value_or(std::vector<fs::path>{})) {
                const std::string extension = FolderListing::lowercaseExtension(file);
                if (extension != enabledExtension && extension != disabledExtension) continue;
                // A user's entry of the same name replaces the system's, and the first system folder
                // holding a name hides the others': one row stands for them all.
                if (&folder == &systemFolder && (fileIn(userFolder, file.filename(), roots) || !systemNames.insert(file.filename()).second)) continue;
                const StartupEntry entry = readEntry(folder, file, roots);
                // A bare mask ("Hidden=true" alone) takes its name and program from the entry it replaces.
                std::optional<StartupEntry> replaced;
                if (&folder == &userFolder && extension == enabledExtension)
                    if (const auto system = fileIn(systemFolder, file.filename(), roots)) replaced = StartupEntry::readAutostart(*system);
                StartupItem item;
                item.id = file.string();
                item.path = file;
                if (entry.label) item.name = *entry.label;
                else if (replaced && replaced->label) item.name = *replaced->label;
                else item.name = PathText::display(file.stem());
                if (entry.program) item.program = *entry.program;
                else if (replaced && replaced->program) item.program = *replaced->program;
                else item.program = AppLocalization::string("startup.unknownProgram");
                item.isEnabled = extension == enabledExtension && entry.starts();
                item.canChange = folder.canChange;
                item.identity = FileIdentity::at(file);
                item.isKnown = entry.reading != StartupEntry::Reading::tooLarge && entry.reading != StartupEntry::Reading::unreadable;
                item.readingProblem = readingProblem(entry);
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
    const bool named = FolderListing::lowercaseExtension(item.path) == enabledExtension;
    const auto identity = FileIdentity::at(item.path);
    if (!identity || identity != item.identity) throw StartupError(StartupError::Case::changedSinceListed, fileName(item.path));
    // A file the desktop cannot read stays unread by it whatever its name or keys: no switch works.
    const StartupEntry listed = StartupEntry::readAutostart(item.path);
    if (const QString problem = readingProblem(listed); !problem.isEmpty() || !item.readingProblem.isEmpty())
        throw StartupError(StartupError::Case::notSwitchable, fileName(item.path), problem.isEmpty() ? item.readingProblem : problem);
    if ((named && listed.starts()) != item.isEnabled) throw StartupError(StartupError::Case::changedSinceListed, fileName(item.path));
    if (enabled == item.isEnabled) return;

    fs::path entryPath = item.path;
    entryPath.replace_extension(enabledExtension);
    fs::path disabledPath = item.path;
    disabledPath.replace_extension(std::string(disabledExtension));
    const bool replacesSystemEntry = fileIn(systemFolder, entryPath.filename(), roots).has_value();

    if (!enabled) {
        // Renamed away, the user's entry would let the system's of the same name start: it stays as
        // the mask it is and is told not to start.
        if (replacesSystemEntry) check(AutostartSwitch::rewrite(item.path, *identity, false), item.path, "startup.writeFailed");
        else check(AutostartSwitch::rename(item.path, *identity, disabledPath), item.path, "startup.renameFailed");
    } else {
        fs::path current = item.path;
        FileIdentity renamed = *identity;
        if (!named) {
            check(AutostartSwitch::rename(item.path, *identity, entryPath), item.path, "startup.renameFailed");
            current = entryPath;
            // Our rename moved the file's status-change time: from here on it is checked as renamed.
            const auto now = FileIdentity::at(current);
            if (!now || !now->sameApartFromStatusChange(*identity)) throw StartupError(StartupError::Case::changedSinceListed, fileName(item.path));
            renamed = *now;
        }
        try {
            const StartupEntry entry = StartupEntry::readAutostart(current);
            if (!entry.starts()) {
                if (entry.program) check(AutostartSwitch::rewrite(current, renamed, true), current, "startup.writeFailed");
                // A bare mask over a system entry: without it the system's entry starts, if it would.
                else if (replacesSystemEntry && entryStarts(*fileIn(systemFolder, entryPath.filename(), roots)))
                    Trash::moveToTrash(current, {.expected = renamed});
                else throw StartupError(StartupError::Case::nothingToStart, fileName(current));
            }
        } catch (...) {
            if (current != item.path) AutostartSwitch::rename(current, renamed, item.path);
            throw;
        }
    }
    // Checked the way the desktop will read it at the next login.
    if (startsAtLogin(entryPath, roots) != enabled) throw StartupError(StartupError::Case::notApplied, fileName(item.path));
}
