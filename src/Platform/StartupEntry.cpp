#include "Platform/StartupEntry.h"

#include "Foundation/PathText.h"
#include "Platform/AutostartSwitch.h"
#include "Platform/CurrentDesktops.h"
#include "Platform/DesktopEntry.h"
#include "Platform/FileContents.h"
#include "Platform/GLibKeyFile.h"
#include "Platform/KeyFile.h"
#include "Platform/RootedLink.h"
#include "Platform/UnitSpecifiers.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// ExecStart may start with the prefixes "@", "-", ":", "+" and "!"; an empty assignment clears the list.
std::optional<QString> unitProgram(const KeyFile& unit, std::string_view unitName) {
    std::optional<QString> program;
    for (const std::string& line : unit.values("Service", "ExecStart")) {
        if (line.empty()) {
            program.reset();
            continue;
        }
        if (program) continue;
        const size_t start = line.find_first_not_of("@-:+!");
        std::string word = start == std::string::npos ? std::string() : KeyFile::firstWord(std::string_view(line).substr(start));
        if (!word.empty()) program = PathText::display(UnitSpecifiers::expanded(word, unitName));
    }
    return program;
}

}  // namespace

std::optional<StartupEntry> StartupEntry::read(const fs::path& file, const fs::path& root) {
    const auto keys = KeyFile::read(RootedLink::resolved(file, root));
    if (!keys || !(keys->hasGroup("Unit") || keys->hasGroup("Service"))) return std::nullopt;
    StartupEntry entry;
    // An enabled instance is a link named after the instance to its template ("getty@.service").
    const std::string unitName = file.filename().string();
    if (auto description = keys->value("Unit", "Description")) entry.label = PathText::display(UnitSpecifiers::expanded(*description, unitName));
    entry.program = unitProgram(*keys, unitName);
    return entry;
}

StartupEntry StartupEntry::readAutostart(const fs::path& file) {
    StartupEntry entry;
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0) {
        entry.error = errno;
        if (fd >= 0) ::close(fd);
        // A link to nothing, or to itself: the desktop finds no file there either.
        entry.reading = entry.error == ENOENT || entry.error == ELOOP ? Reading::notAFile : Reading::unreadable;
        return entry;
    }
    std::optional<std::string> text;
    if (S_ISREG(info.st_mode) && std::uint64_t(info.st_size) <= AutostartSwitch::maximumEntrySize) {
        text = FileContents::read(fd, AutostartSwitch::maximumEntrySize);
        if (!text) entry.error = errno;
    }
    ::close(fd);
    if (!S_ISREG(info.st_mode)) entry.reading = Reading::notAFile;
    else if (std::uint64_t(info.st_size) > AutostartSwitch::maximumEntrySize) entry.reading = Reading::tooLarge;
    else if (!text) entry.reading = Reading::unreadable;
    if (!text) return entry;

    // Its name and program as far as they can be made out, whether or not the desktop takes the file.
    if (const auto desktop = DesktopEntry::fromKeyFile(KeyFile::parse(*text))) {
        entry.label = desktop->text("Name");
        entry.program = desktop->program();
        entry.onlyShowIn = CurrentDesktops::onlyShowIn(*desktop);
        entry.notShowIn = CurrentDesktops::notShowIn(*desktop);
    }
    const auto keys = GLibKeyFile::parse(*text, &entry.badLine);
    if (!keys) entry.reading = Reading::badLine;
    else if (!keys->hasGroup("Desktop Entry")) entry.reading = Reading::noEntryGroup;
    else entry.startsAtLogin = AutostartSwitch::startsAtLogin(*keys);
    return entry;
}
