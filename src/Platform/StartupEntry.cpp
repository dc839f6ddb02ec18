#include "Platform/StartupEntry.h"

#include "Platform/DesktopEntry.h"
#include "Platform/KeyFile.h"

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

// ExecStart may start with the prefixes "@", "-", ":", "+" and "!"; an empty assignment clears the list.
std::optional<QString> unitProgram(const KeyFile& unit) {
    std::optional<QString> program;
    for (const std::string& line : unit.values("Service", "ExecStart")) {
        if (line.empty()) {
            program.reset();
            continue;
        }
        if (program) continue;
        const size_t start = line.find_first_not_of("@-:+!");
        std::string word = start == std::string::npos ? std::string() : KeyFile::firstWord(std::string_view(line).substr(start));
        if (!word.empty()) program = utf8(word);
    }
    return program;
}

}  // namespace

std::optional<StartupEntry> StartupEntry::read(const fs::path& file, const fs::path& root) {
    auto keys = KeyFile::read(resolvedBelow(file, root));
    if (!keys) return std::nullopt;
    if (keys->hasGroup("Unit") || keys->hasGroup("Service")) {
        StartupEntry entry;
        if (auto description = keys->value("Unit", "Description")) entry.label = utf8(*description);
        entry.program = unitProgram(*keys);
        return entry;
    }
    auto desktop = DesktopEntry::fromKeyFile(std::move(*keys));
    if (!desktop) return std::nullopt;
    return StartupEntry{desktop->text("Name"), desktop->program()};
}
