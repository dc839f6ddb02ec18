#include "Platform/StartupEntry.h"

#include "Platform/AutostartSwitch.h"
#include "Platform/CurrentDesktops.h"
#include "Platform/DesktopEntry.h"
#include "Platform/FileContents.h"
#include "Platform/GLibKeyFile.h"
#include "Platform/KeyFile.h"

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

// Follows the file's own links (not its folders') the way the system would if `root` were "/".
fs::path resolvedBelow(fs::path file, const fs::path& root) {
    for (int hop = 0; hop < 40; ++hop) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(file, error))) return file;
        const fs::path target = fs::read_symlink(file, error);
        if (error) return file;
        file = target.is_absolute() ? root / target.relative_path() : file.parent_path() / target;
    }
    return file;
}

QString utf8(const std::string& bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// A unit name's escapes undone as systemd does: "-" stands for "/", "\xNN" for the byte NN.
std::string unescapedUnitText(std::string_view text) {
    std::string plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '-') {
            plain += '/';
        } else if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' && std::isxdigit(static_cast<unsigned char>(text[i + 2])) &&
                   std::isxdigit(static_cast<unsigned char>(text[i + 3]))) {
            plain += static_cast<char>(std::stoi(std::string(text.substr(i + 2, 2)), nullptr, 16));
            i += 3;
        } else {
            plain += text[i];
        }
    }
    return plain;
}

// The specifiers that a unit's own name answers ("Getty on %I" of "getty@tty1.service" reads "Getty
// on tty1"); the others stay as written.
std::string withNameSpecifiers(std::string_view text, std::string_view unitName) {
    const size_t dot = unitName.rfind('.');
    const std::string_view stem = unitName.substr(0, dot);
    const size_t at = stem.find('@');
    const std::string_view prefix = stem.substr(0, at);
    const std::string_view instance = at == std::string_view::npos ? std::string_view() : stem.substr(at + 1);
    std::string expanded;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%' || i + 1 == text.size()) {
            expanded += text[i];
            continue;
        }
        switch (text[++i]) {
        case '%': expanded += '%'; break;
        case 'n': expanded += unitName; break;
        case 'N': expanded += stem; break;
        case 'p': expanded += prefix; break;
        case 'P': expanded += unescapedUnitText(prefix); break;
        case 'i': expanded += instance; break;
        case 'I': expanded += unescapedUnitText(instance); break;
        default: expanded += text.substr(i - 1, 2);
        }
    }
    return expanded;
}

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
        if (!word.empty()) program = utf8(withNameSpecifiers(word, unitName));
    }
    return program;
}

}  // namespace

std::optional<StartupEntry> StartupEntry::read(const fs::path& file, const fs::path& root) {
    const auto keys = KeyFile::read(resolvedBelow(file, root));
    if (!keys || !(keys->hasGroup("Unit") || keys->hasGroup("Service"))) return std::nullopt;
    StartupEntry entry;
    // An enabled instance is a link named after the instance to its template ("getty@.service").
    const std::string unitName = file.filename().string();
    if (auto description = keys->value("Unit", "Description")) entry.label = utf8(withNameSpecifiers(*description, unitName));
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
