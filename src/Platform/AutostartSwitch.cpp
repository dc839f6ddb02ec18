#include "Platform/AutostartSwitch.h"

#include "Platform/FileContents.h"
#include "Platform/KeyFile.h"

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

// GLib's booleans, which desktop sessions read entries with; anything else is no boolean.
std::optional<bool> boolean(std::string_view value) {
    if (value == "true" || value == "1") return true;
    if (value == "false" || value == "0") return false;
    return std::nullopt;
}

std::optional<bool> lastBoolean(const KeyFile& keys, std::string_view key) {
    const auto values = keys.values(group, key);
    if (values.empty()) return std::nullopt;
    return boolean(values.back());
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

bool startsAtLogin(const KeyFile& keys) {
    return lastBoolean(keys, hiddenKey) != true && lastBoolean(keys, enabledKey) != false;
}

std::optional<std::string> switched(std::string_view text, bool on) {
    std::string result;
    result.reserve(text.size() + 16);
    bool inGroup = false;
    bool sawGroup = false;
    bool sawHidden = false;
    size_t afterHeader = std::string::npos;  // where a missing "Hidden" goes
    std::string_view headerEnding = "\n";      // and the line ending it takes
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end == std::string_view::npos ? text.size() : end + 1);
        text.remove_prefix(line.size());
        const std::string_view body = line.substr(0, line.find_first_of("\r\n"));
        const std::string_view ending = line.substr(body.size());
        const std::string_view content = KeyFile::trimmed(body);
        if (!content.empty() && content.front() == '[') {
            inGroup = content.back() == ']' && content.substr(1, content.size() - 2) == group;
            result += line;
            if (inGroup && !sawGroup) {
                sawGroup = true;
                if (ending.empty()) result += '\n';
                else headerEnding = ending;
                afterHeader = result.size();
            }
            continue;
        }
        const size_t equals = body.find('=');
        if (!inGroup || content.empty() || content.front() == '#' || equals == std::string_view::npos) {
            result += line;
            continue;
        }
        const std::string_view key = KeyFile::trimmed(body.substr(0, equals));
        const std::optional<bool> value = boolean(KeyFile::trimmed(body.substr(equals + 1)));
        std::optional<std::string_view> replacement;
        if (key == hiddenKey) {
            sawHidden = true;
            if (!on) replacement = "true";
            else if (value == true) replacement = "false";
        } else if (key == enabledKey && on && value == false) {
            replacement = "true";
        }
        if (!replacement) {
            result += line;
            continue;
        }
        result += body.substr(0, equals + 1);
        result += *replacement;
        result += ending;
    }
    if (!sawGroup) return std::nullopt;
    if (!on && !sawHidden) result.insert(afterHeader, std::string(hiddenKey) + "=true" + std::string(headerEnding));
    return result;
}

Result rewrite(const fs::path& file, const FileIdentity& expected, bool on) {
    if (expected.type != S_IFREG) return {Outcome::failed, ELOOP};
    const int fd = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno == ELOOP || errno == ENOENT ? Result{Outcome::changed} : Result{Outcome::failed, errno};
    struct stat info {};
    const bool same = ::fstat(fd, &info) == 0 && FileIdentity::of(info) == expected;
    const auto text = same ? FileContents::read(fd, KeyFile::maximumSize) : std::nullopt;
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
