#include "Services/StartupItemsService.h"

#include "Models/AppLocalization.h"
#include "Models/NameCollator.h"
#include "Platform/FolderListing.h"
#include "Platform/LinuxLocations.h"
#include "Foundation/PathText.h"
#include "Platform/StartupEntry.h"
#include "Platform/SystemRoots.h"

#include <QCollator>

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
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

constexpr std::string_view disabledExtension = "disabled";

// Like rename(2), but fails with EEXIST instead of replacing the target.
int renameWithoutReplacing(const fs::path& from, const fs::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // File systems without RENAME_NOREPLACE: a hard link fails just as atomically when the target exists.
    if (::link(from.c_str(), to.c_str()) != 0) return errno;
    if (::unlink(from.c_str()) != 0) {
        const int error = errno;
        ::unlink(to.c_str());
        return error;
    }
    return 0;
}

}  // namespace

std::vector<StartupItem> StartupItemsService::items() {
    std::lock_guard lock(mutex_);
    const SystemRoots roots = SystemRoots::current();
    std::vector<StartupItem> found;
    for (const StartupFolder& folder : startupFolders) {
        const std::string_view enabledExtension = LinuxLocations::enabledStartupExtension(folder.location);
        for (const fs::path& directory : LinuxLocations::folders(folder.location, roots)) {
            for (const fs::path& file : FolderListing::entries(directory).value_or(std::vector<fs::path>{})) {
                const std::string extension = FolderListing::lowercaseExtension(file);
                if (extension != enabledExtension && extension != disabledExtension) continue;
                const auto entry = StartupEntry::read(file, roots.root);
                StartupItem item;
                item.id = file.string();
                item.path = file;
                item.name = entry && entry->label ? *entry->label : PathText::display(file.stem());
                item.program = entry && entry->program ? *entry->program : AppLocalization::string("startup.unknownProgram");
                item.isEnabled = extension == enabledExtension;
                item.canChange = folder.canChange;
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
    const StartupFolder& userFolder = startupFolders.front();
    const auto userFolders = LinuxLocations::folders(userFolder.location, SystemRoots::current());
    // Only the user's own folder is ever renamed in, whatever the item claims.
    const bool inUserFolder = std::find(userFolders.begin(), userFolders.end(), item.path.parent_path()) != userFolders.end();
    if (!item.canChange || !inUserFolder) throw StartupError(StartupError::Case::requiresAdministrator);

    const std::string_view wanted = enabled ? LinuxLocations::enabledStartupExtension(userFolder.location) : disabledExtension;
    if (FolderListing::lowercaseExtension(item.path) == wanted) return;
    fs::path target = item.path;
    target.replace_extension(std::string(wanted));
    if (const int error = renameWithoutReplacing(item.path, target))
        throw std::system_error(error, std::generic_category(), AppLocalization::format("startup.renameFailed", {PathText::display(item.path.filename())}).toStdString());
}
