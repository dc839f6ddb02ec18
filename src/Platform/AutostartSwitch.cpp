#include "Platform/AutostartSwitch.h"

#include "Platform/FileContents.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace fs = std::filesystem;

namespace AutostartSwitch {

namespace {

constexpr std::string_view group = "Desktop Entry";
constexpr std::string_view hiddenKey = "Hidden";
constexpr std::string_view enabledKey = "X-GNOME-Autostart-enabled";

std::optional<bool> booleanIn(const GLibKeyFile& keys, std::string_view key) {
    const auto value = keys.value(group, key);
    if (!value) return std::nullopt;
    return GLibKeyFile::boolean(*value);
}

bool stillListed(const fs::path& path, const FileIdentity& expected) {
    return FileIdentity::at(path) == expected;
}

// After a rename of our own, which moved the file's status-change time and nothing else.
bool renamedAsListed(const fs::path& path, const FileIdentity& expected) {
    const auto identity = FileIdentity::at(path);
    return identity && identity->sameApartFromStatusChange(expected);
}

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

bool startsAtLogin(const GLibKeyFile& keys) {
    return booleanIn(keys, hiddenKey) != true && (!keys.value(group, enabledKey) || booleanIn(keys, enabledKey) == true);
}

std::optional<std::string> switched(std::string_view text, bool on) {
    using Line = GLibKeyFile::Line;
    std::string result;
    result.reserve(text.size() + 16);
    std::size_t copied = 0;
    bool sawHidden = false;
    std::optional<std::size_t> afterHeader;  // where a missing "Hidden" goes
    std::string_view headerEnding;           // and the line ending it takes
    auto replaceValue = [&](const Line& line, std::string_view value) {
        result.append(text.substr(copied, line.valueStart - copied));
        result += value;
        copied = line.valueEnd;
    };
    const auto refused = GLibKeyFile::scan(text, [&](const Line& line) {
        if (line.group != group) return;
        if (line.kind == Line::Kind::group && !afterHeader) {
            afterHeader = line.end;
            headerEnding = line.ending;
        }
        if (line.kind != Line::Kind::pair) return;
        const std::optional<bool> value = GLibKeyFile::boolean(text.substr(line.valueStart, line.valueEnd - line.valueStart));
        if (line.key == hiddenKey) {
            sawHidden = true;
            if (!on) replaceValue(line, "true");
            else if (value == true) replaceValue(line, "false");
        } else if (line.key == enabledKey && on && value != true) {
            replaceValue(line, "true");
        }
    });
    if (refused || !afterHeader) return std::nullopt;
    result.append(text.substr(copied));
    // Every value replaced lies after the group's first header, so its place in the result is its place in the text.
    if (!on && !sawHidden) {
        const std::string added = std::string(hiddenKey) + "=true";
        result.insert(*afterHeader, headerEnding.empty() ? "\n" + added + "\n" : added + std::string(headerEnding));
    }
    return result;
}

Result rewrite(const fs::path& file, const FileIdentity& expected, bool on) {
    if (expected.type != S_IFREG) return {Outcome::failed, ELOOP};
    const int fd = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno == ELOOP || errno == ENOENT ? Result{Outcome::changed} : Result{Outcome::failed, errno};
    struct stat info {};
    const bool same = ::fstat(fd, &info) == 0 && FileIdentity::of(info) == expected;
    const auto text = same ? FileContents::read(fd, maximumEntrySize) : std::nullopt;
    ::close(fd);
    if (!same) return {Outcome::changed};
    if (!text) return {Outcome::failed, EIO};
    const auto replaced = switched(*text, on);
    if (!replaced) return {Outcome::failed, EINVAL};

    const auto scratch = FileContents::writeBeside(file, *replaced, info.st_mode & 07777);
    if (!scratch) return {Outcome::failed, errno};
    const fs::path& temporary = *scratch;
    // Swapped, not renamed over: the file swapped out must still be the listed one, or it goes back.
    if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, file.c_str(), RENAME_EXCHANGE) == 0) {
        if (!renamedAsListed(temporary, expected)) {
            ::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, file.c_str(), RENAME_EXCHANGE);
            ::unlink(temporary.c_str());
            return {Outcome::changed};
        }
        ::unlink(temporary.c_str());
    } else {
        // File systems that cannot swap: the look and the rename are as close as they can be.
        int error = errno;
        Result result{Outcome::failed, error};
        if (error == EINVAL || error == ENOSYS) {
            if (!stillListed(file, expected)) result = {Outcome::changed};
            else if (::rename(temporary.c_str(), file.c_str()) == 0) result = {};
            else result = {Outcome::failed, errno};
        }
        if (result.outcome != Outcome::done) {
            ::unlink(temporary.c_str());
            return result;
        }
    }
    FileContents::syncFolder(file.parent_path());
    return {};
}

Result rename(const fs::path& from, const FileIdentity& expected, const fs::path& to) {
    if (!stillListed(from, expected)) return {Outcome::changed};
    if (const int error = renameWithoutReplacing(from, to)) return error == ENOENT ? Result{Outcome::changed} : Result{Outcome::failed, error};
    // Another file slipped in between the look and the rename: it goes back under its own name.
    if (!renamedAsListed(to, expected)) {
        renameWithoutReplacing(to, from);
        return {Outcome::changed};
    }
    FileContents::syncFolder(to.parent_path());
    return {};
}

}  // namespace AutostartSwitch
