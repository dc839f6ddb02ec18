#include "Platform/FilesInUse.h"

#include "Platform/DirectoryNames.h"
#include "Platform/KernelFile.h"
#include "Platform/ProcessTable.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <string_view>
#include <unordered_set>

namespace fs = std::filesystem;

namespace {

// A link's target as the kernel names it: a path, or "socket:[…]", "pipe:[…]", "anon_inode:…".
std::optional<std::string> linkAt(int directory, const char* name) {
    std::string target(4096, '\0');
    const ssize_t length = ::readlinkat(directory, name, target.data(), target.size());
    if (length < 1 || std::size_t(length) >= target.size()) return std::nullopt;
    target.resize(std::size_t(length));
    return target;
}

// A file that was replaced or deleted while open still names the folder it was in.
std::string_view withoutDeletedMark(std::string_view path) {
    constexpr std::string_view deleted = " (deleted)";
    if (path.ends_with(deleted)) path.remove_suffix(deleted.size());
    return path;
}

// The program's name as the user knows it: its file's name, else the name it was started by.
std::string programName(ProcessTable& table, std::int32_t pid) {
    if (const auto reading = table.read(pid)) {
        const fs::path program(std::string(withoutDeletedMark(reading->executablePath)));
        if (!program.filename().empty()) return program.filename().native();
        return std::string(reading->commandName);
    }
    return std::to_string(pid);
}

// The paths in a maps file: the last field of a line, where it begins with a slash.
void addMapped(std::string_view maps, std::unordered_set<std::string>& paths) {
    for (std::size_t start = 0; start < maps.size();) {
        const std::size_t end = std::min(maps.find('\n', start), maps.size());
        const std::string_view line = maps.substr(start, end - start);
        if (const std::size_t slash = line.find(" /"); slash != std::string_view::npos) paths.emplace(withoutDeletedMark(line.substr(slash + 1)));
        start = end + 1;
    }
}

}  // namespace

namespace FilesInUse {

PlaceIndex read(const SystemRoots& roots) {
    PlaceIndex index;
    ProcessTable table(roots);
    const int proc = ::open(roots.proc.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (proc < 0) return index;
    std::vector<char> listing;
    for (const std::int32_t pid : table.pids().value_or(std::vector<std::int32_t>{})) {
        // What this app has open while it looks is its own doing.
        if (pid == ::getpid()) continue;
        const std::string folder = std::to_string(pid);
        // Only the user's own: another user's files are not the user's to move, nor readable.
        struct stat owner {};
        if (::fstatat(proc, folder.c_str(), &owner, 0) != 0 || owner.st_uid != ::geteuid()) continue;
        const int process = ::openat(proc, folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (process < 0) continue;
        std::unordered_set<std::string> paths;
        if (auto cwd = linkAt(process, "cwd")) paths.emplace(withoutDeletedMark(*cwd));
        if (const int fds = ::openat(process, "fd", O_RDONLY | O_DIRECTORY | O_CLOEXEC); fds >= 0) {
            forEachDirectoryName(fds, listing, [&](std::string_view name) {
                if (auto target = linkAt(fds, std::string(name).c_str())) paths.emplace(withoutDeletedMark(*target));
            });
            ::close(fds);
        }
        // The text lives in the reader's buffer: the reader must outlive it.
        KernelFile maps(roots.proc / folder / "maps");
        if (const auto text = maps.read()) addMapped(*text, paths);
        ::close(process);
        std::erase_if(paths, [](const std::string& path) { return !path.starts_with('/'); });
        if (paths.empty()) continue;
        const std::string program = programName(table, pid);
        for (const std::string& path : paths) index.add((roots.root / fs::path(path).relative_path()).lexically_normal(), program);
    }
    ::close(proc);
    index.sort();
    return index;
}

}  // namespace FilesInUse
