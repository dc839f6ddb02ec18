#include "Platform/FilesInUse.h"

#include "Foundation/FileDescriptor.h"
#include "Foundation/LiesWithin.h"
#include "Platform/DirectoryNames.h"
#include "Platform/KernelFile.h"
#include "Platform/ProcessTable.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <future>
#include <string>
#include <string_view>
#include <thread>

namespace fs = std::filesystem;

namespace {

// A link's target as the kernel names it, in the caller's buffer: a path, or "socket:[…]", "pipe:[…]",
// "anon_inode:…".
std::optional<std::string_view> linkAt(int directory, const char* name, std::string& buffer) {
    buffer.resize(4096);
    const ssize_t length = ::readlinkat(directory, name, buffer.data(), buffer.size());
    if (length < 1 || std::size_t(length) >= buffer.size()) return std::nullopt;
    return std::string_view(buffer.data(), std::size_t(length));
}

// A file that was replaced or deleted while open still names the folder it was in.
std::string_view withoutDeletedMark(std::string_view path) {
    constexpr std::string_view deleted = " (deleted)";
    if (path.ends_with(deleted)) path.remove_suffix(deleted.size());
    return path;
}

// The program's name as the user knows it: its file's name, else the name it was started by.
std::string processCommand(ProcessTable& table, std::int32_t pid) {
    if (const auto reading = table.read(pid)) {
        const fs::path program(std::string(withoutDeletedMark(reading->executablePath)));
        if (!program.filename().empty()) return program.filename().native();
        return std::string(reading->commandName);
    }
    return std::to_string(pid);
}

// The folders asked about, spelled as the kernel spells a process's paths. Most paths a process
// holds share no start with any of them, which one comparison with their common start tells.
class AskedFolders {
public:
    AskedFolders(const SystemRoots& roots, const std::vector<fs::path>& folders) {
        for (const fs::path& folder : folders) {
            const fs::path below = folder.lexically_normal().lexically_relative(roots.root);
            if (below.empty() || *below.begin() == "..") continue;
            std::string text = below == "." ? std::string() : "/" + below.native();
            while (text.ends_with('/')) text.pop_back();
            folders_.push_back(text.empty() ? "/" : std::move(text));
        }
        if (folders_.empty()) return;
        common_ = folders_.front();
        for (const std::string& text : folders_) {
            std::size_t same = 0;
            while (same < common_.size() && same < text.size() && common_[same] == text[same]) ++same;
            common_.resize(same);
        }
    }

    bool empty() const { return folders_.empty(); }

    // Whether a path is one of the folders or lies inside one.
    bool hold(std::string_view path) const {
        if (!path.starts_with(common_)) return false;
        return std::any_of(folders_.begin(), folders_.end(), [&](const std::string& folder) { return liesWithinText(path, folder); });
    }

private:
    std::vector<std::string> folders_;
    std::string common_;
};

// The paths in a maps file: the last field of a line, where it begins with a slash.
template <typename Visit>
void forEachMappedPath(std::string_view maps, Visit visit) {
    for (std::size_t start = 0; start < maps.size();) {
        const std::size_t end = std::min(maps.find('\n', start), maps.size());
        const std::string_view line = maps.substr(start, end - start);
        if (const std::size_t slash = line.find(" /"); slash != std::string_view::npos) visit(line.substr(slash + 1));
        start = end + 1;
    }
}

using Held = std::vector<std::pair<fs::path, std::string>>;

// What one share of the processes holds in the folders: every `step`th id from `first`.
Held readShare(const SystemRoots& roots, const AskedFolders& asked, const std::vector<std::int32_t>& pids, std::size_t first, std::size_t step) {
    Held held;
    const FileDescriptor proc(::open(roots.proc.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!proc.isOpen()) return held;
    std::optional<ProcessTable> table;
    std::vector<char> listing;
    std::string link, maps;
    std::vector<std::string> kept;
    auto keep = [&](std::string_view path) {
        path = withoutDeletedMark(path);
        if (asked.hold(path)) kept.emplace_back(path);
    };
    for (std::size_t at = first; at < pids.size(); at += step) {
        const std::int32_t pid = pids[at];
        // What this app has open while it looks is its own doing.
        if (pid == ::getpid()) continue;
        // A process that ends meanwhile holds nothing any more.
        const FileDescriptor process(::openat(proc.get(), std::to_string(pid).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!process.isOpen()) continue;
        // Only the user's own: another user's files are not the user's to move, nor readable.
        struct stat owner {};
        if (::fstat(process.get(), &owner) != 0 || owner.st_uid != ::geteuid()) continue;
        kept.clear();
        const auto mapped = KernelFile::readAt(process.get(), "maps", maps);
        // A kernel thread, or a process past its end, maps nothing and holds nothing: its folder
        // and files are not asked for.
        if (mapped && mapped->empty()) continue;
        if (mapped) forEachMappedPath(*mapped, keep);
        if (const auto cwd = linkAt(process.get(), "cwd", link)) keep(*cwd);
        if (const FileDescriptor fds(::openat(process.get(), "fd", O_RDONLY | O_DIRECTORY | O_CLOEXEC)); fds.isOpen()) {
            // A name from the listing ends in a NUL there.
            forEachDirectoryName(fds.get(), listing, [&](std::string_view name) {
                if (const auto target = linkAt(fds.get(), name.data(), link)) keep(*target);
            });
        }
        // The program is named only for a process that holds something asked about.
        if (kept.empty()) continue;
        if (!table) table.emplace(roots);
        const std::string program = processCommand(*table, pid);
        for (const std::string& path : kept) held.emplace_back((roots.root / fs::path(path).relative_path()).lexically_normal(), program);
    }
    return held;
}

}  // namespace

namespace FilesInUse {

PlaceIndex read(const SystemRoots& roots, const std::vector<fs::path>& folders) {
    PlaceIndex index;
    const AskedFolders asked(roots, folders);
    if (asked.empty()) return index;
    const std::vector<std::int32_t> pids = ProcessTable(roots).pids().value_or(std::vector<std::int32_t>{});
    // Nearly all the time goes to the kernel writing out each process's links and maps, which
    // several threads do side by side; the measuring walk keeps the other cores.
    const std::size_t shares = std::clamp<std::size_t>(std::thread::hardware_concurrency() / 2, 1, 4);
    std::vector<std::future<Held>> others;
    for (std::size_t share = 1; share < shares; ++share)
        others.push_back(std::async(std::launch::async, [&, share] { return readShare(roots, asked, pids, share, shares); }));
    auto add = [&index](Held held) {
        for (auto& [place, program] : held) index.add(std::move(place), std::move(program));
    };
    add(readShare(roots, asked, pids, 0, shares));
    for (std::future<Held>& share : others) add(share.get());
    index.sort();
    return index;
}

}  // namespace FilesInUse
