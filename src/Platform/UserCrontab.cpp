#include "Platform/UserCrontab.h"

#include "Platform/FolderListing.h"
#include "Platform/ProcessRunner.h"

#include <cctype>
#include <map>
#include <mutex>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view blanks = " \t";

// A line that sets a variable for the jobs: a name, then "=" with blanks around it or not.
bool isSetting(std::string_view line) {
    size_t end = 0;
    while (end < line.size() && (std::isalnum(static_cast<unsigned char>(line[end])) || line[end] == '_')) ++end;
    if (end == 0 || std::isdigit(static_cast<unsigned char>(line.front()))) return false;
    const size_t next = line.find_first_not_of(blanks, end);
    return next != std::string_view::npos && line[next] == '=';
}

// The line past `count` fields parted by blanks; empty when it has no more.
std::string_view pastFields(std::string_view line, int count) {
    for (int field = 0; field < count; ++field) {
        const size_t end = line.find_first_of(blanks);
        if (end == std::string_view::npos) return {};
        line.remove_prefix(end);
        const size_t next = line.find_first_not_of(blanks);
        if (next == std::string_view::npos) return {};
        line.remove_prefix(next);
    }
    return line;
}

// What cron hands the shell: up to the first "%" that no backslash escapes, "\%" as "%".
std::string shellPart(std::string_view command) {
    std::string part;
    for (size_t at = 0; at < command.size(); ++at) {
        if (command[at] == '\\' && at + 1 < command.size() && command[at + 1] == '%') {
            part += '%';
            ++at;
        } else if (command[at] == '%') {
            break;
        } else {
            part += command[at];
        }
    }
    return part;
}

}  // namespace

namespace UserCrontab {

fs::path tool(const SystemRoots& roots) {
    for (std::string_view place : {"usr/bin/crontab", "bin/crontab", "usr/local/bin/crontab"}) {
        if (fs::path candidate = roots.root / place; FolderListing::isExecutableFile(candidate)) return candidate;
    }
    return {};
}

std::vector<std::string> commands(const SystemRoots& roots, std::chrono::milliseconds deadline) {
    const fs::path crontab = tool(roots);
    if (crontab.empty()) return {};
    // A tool that hung is let be for a while: every listing would otherwise wait for it again.
    using Clock = std::chrono::steady_clock;
    constexpr auto restAfterHanging = std::chrono::minutes(5);
    static std::mutex hungMutex;
    static std::map<fs::path, Clock::time_point> hungAt;
    {
        std::lock_guard lock(hungMutex);
        if (const auto hung = hungAt.find(crontab); hung != hungAt.end() && Clock::now() - hung->second < restAfterHanging) return {};
    }
    ProcessRunner::Options options;
    options.limits.deadline = deadline;
    options.limits.terminateGrace = std::chrono::milliseconds(300);
    options.limits.killWait = std::chrono::milliseconds(500);
    options.limits.maxCapturedBytes = 1u << 20;
    try {
        const ProcessRunner::Result listed = ProcessRunner::run(crontab, {"-l"}, options);
        // A user without a crontab gets an error; a tool cut short gives only part of one.
        if (listed.timedOut || !listed.ended) {
            std::lock_guard lock(hungMutex);
            hungAt[crontab] = Clock::now();
            return {};
        }
        if (!listed.exitedNormally() || listed.exitStatus != 0) return {};
        return commandsOf(listed.output);
    } catch (const ProcessRunner::StartError&) {
        return {};
    }
}

std::vector<std::string> commandsOf(std::string_view crontab) {
    std::vector<std::string> found;
    for (size_t start = 0; start < crontab.size();) {
        const size_t end = std::min(crontab.find('\n', start), crontab.size());
        std::string_view line = crontab.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const size_t first = line.find_first_not_of(blanks);
        if (first == std::string_view::npos || line[first] == '#') continue;
        line.remove_prefix(first);
        if (isSetting(line)) {
            // Its value may name what a job runs through it ("APP=~/x.AppImage", "@daily $APP"): kept as
            // the shell would set it.
            const size_t equals = line.find('=');
            const std::string_view name = line.substr(0, line.find_last_not_of(blanks, equals - 1) + 1);
            const std::string_view value = line.substr(equals + 1);
            found.push_back(std::string(name) + "=" + std::string(value.substr(std::min(value.find_first_not_of(blanks), value.size()))));
            continue;
        }
        const std::string command = shellPart(pastFields(line, line.front() == '@' ? 1 : 5));
        if (command.find_first_not_of(blanks) != std::string::npos) found.push_back(command);
    }
    return found;
}

}  // namespace UserCrontab
