#include "Platform/DpkgDatabase.h"

#include "Foundation/LiesWithin.h"
#include "Platform/FileContents.h"
#include "Platform/RealPath.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstdint>
#include <mutex>

#include <optional>
#include <unordered_set>


namespace fs = std::filesystem;

namespace {

std::string contents(const fs::path& file) {
    return FileContents::read(file).value_or(std::string());
}

template <typename Visit>
void forEachLine(std::string_view text, Visit visit) {
    while (!text.empty()) {
        const auto end = text.find('\n');
        visit(text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
}

// "/usr/share/x" for root/usr/share/x: the name dpkg knows the file by; nothing outside the root.
std::optional<std::string> systemPath(const fs::path& file, const fs::path& root) {
    const fs::path inside = file.lexically_normal().lexically_relative(root.lexically_normal());
    if (inside.empty() || *inside.begin() == "..") return std::nullopt;
    return (fs::path("/") / inside).lexically_normal().string();
}

// The names a file is asked by: as given, and with every link above it resolved. A link above an
// item (a data folder reached through one) never hides a package's file; a link that is the item
// itself is asked by its own name, since a package owns the link and not its target.
std::vector<std::string> lookupNames(const fs::path& file, const fs::path& root, const std::optional<fs::path>& realRoot) {
    std::vector<std::string> names;
    if (auto lexical = systemPath(file, root)) names.push_back(std::move(*lexical));
    const fs::path normal = file.lexically_normal();
    if (!realRoot || !normal.has_filename()) return names;
    if (const auto folder = realPath(normal.parent_path())) {
        if (auto real = systemPath(*folder / normal.filename(), *realRoot); real && (names.empty() || *real != names.front()))
            names.push_back(std::move(*real));
    }
    return names;
}

fs::path infoFolder(const fs::path& root) { return root / "var/lib/dpkg/info"; }

struct TransparentHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

// Installed versions by "name" and by "name:arch", from the status file's stanzas.
std::unordered_map<std::string, std::string> installedVersions(const fs::path& root) {
    std::unordered_map<std::string, std::string> versions;
    std::string package, architecture, version;
    bool installed = false;
    auto finish = [&] {
        if (installed && !package.empty() && !version.empty()) {
            versions.emplace(package, version);
            if (!architecture.empty()) versions.emplace(package + ":" + architecture, version);
        }
        package.clear(), architecture.clear(), version.clear();
        installed = false;
    };
    auto field = [](std::string_view line, std::string_view name) -> std::optional<std::string_view> {
        if (line.size() <= name.size() || line.substr(0, name.size()) != name || line[name.size()] != ':') return std::nullopt;
        std::string_view value = line.substr(name.size() + 1);
        while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
        return value;
    };
    forEachLine(contents(root / "var/lib/dpkg/status"), [&](std::string_view line) {
        if (line.empty()) return finish();
        if (auto value = field(line, "Package")) package = *value;
        else if (auto arch = field(line, "Architecture")) architecture = *arch;
        else if (auto text = field(line, "Version")) version = *text;
        else if (auto status = field(line, "Status")) installed = status->ends_with(" installed");
    });
    finish();
    return versions;
}

// One line triple of dpkg's diversions file: the name diverted, where its file went, and the
// package that diverted it (":" for the administrator, kept as "").
struct Diversion {
    std::string from;
    std::string to;
    std::string by;
};

std::vector<Diversion> diversions(const fs::path& root) {
    std::vector<std::string> lines;
    forEachLine(contents(root / "var/lib/dpkg/diversions"), [&](std::string_view line) { lines.emplace_back(line); });
    std::vector<Diversion> found;
    for (size_t at = 0; at + 2 < lines.size(); at += 3) found.push_back({lines[at], lines[at + 1], lines[at + 2] == ":" ? std::string() : lines[at + 2]});
    return found;
}

}  // namespace

namespace DpkgDatabase {

std::unordered_map<std::string, Package> owners(const std::vector<fs::path>& files, const fs::path& root) {
    // System path → the full paths asked for that name, and which package may own it there.
    struct Asked {
        std::vector<std::string> files;
        std::optional<std::string> onlyPackage;  // a diverted name: its diverter's, or nobody's ("" for a local diversion)
        std::string notPackage;                  // where a diverted file went: not its diverter's
    };
    std::unordered_map<std::string, Asked, TransparentHash, std::equal_to<>> wanted;
    std::unordered_set<std::string> asked;
    const auto realRoot = realPath(root);
    for (const auto& file : files) {
        if (!asked.insert(file.string()).second) continue;
        for (std::string& name : lookupNames(file, root, realRoot)) wanted[std::move(name)].files.push_back(file.string());
    }
    // dpkg-divert moves a package's file aside ("/usr/bin/foo" to "/usr/bin/foo.distrib") and lets
    // another package, or the administrator, put its own in its place: both packages list the
    // original name. The file at that name is the diverter's; the one moved aside, the original
    // package's, asked for by the name its list gives it.
    for (const Diversion& diversion : diversions(root)) {
        if (auto at = wanted.find(diversion.from); at != wanted.end()) at->second.onlyPackage = diversion.by;
        if (auto to = wanted.find(diversion.to); to != wanted.end()) {
            const std::vector<std::string> movedAside = to->second.files;
            Asked& original = wanted[diversion.from];
            original.files.insert(original.files.end(), movedAside.begin(), movedAside.end());
            original.notPackage = diversion.by;
            original.onlyPackage.reset();
        }
    }

    std::unordered_map<std::string, Package> found;
    DIR* folder = ::opendir(infoFolder(root).c_str());
    if (!folder) return found;
    while (found.size() < asked.size()) {
        const dirent* entry = ::readdir(folder);
        if (!entry) break;
        const std::string_view name = entry->d_name;
        if (!name.ends_with(".list") || name.size() == 5) continue;
        const std::string package(name.substr(0, name.size() - 5));
        const std::string_view bare = std::string_view(package).substr(0, package.find(':'));
        const fs::path list = infoFolder(root) / entry->d_name;
        forEachLine(contents(list), [&](std::string_view line) {
            auto match = wanted.find(line);
            if (match == wanted.end() || (match->second.onlyPackage && *match->second.onlyPackage != bare) || match->second.notPackage == bare) return;
            for (const std::string& file : match->second.files) found.try_emplace(file, Package{package, {}, list});
        });
    }
    ::closedir(folder);

    if (found.empty()) return found;
    const auto versions = installedVersions(root);
    for (auto& [file, package] : found) {
        auto version = versions.find(package.name);
        if (version == versions.end()) version = versions.find(package.name.substr(0, package.name.find(':')));
        if (version != versions.end()) package.version = version->second;
    }
    return found;
}

std::unordered_set<std::string> listedPaths(const fs::path& root, std::string_view below) {
    std::unordered_set<std::string> listed;
    DIR* folder = ::opendir(infoFolder(root).c_str());
    if (!folder) return listed;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string_view name = entry->d_name;
        if (!name.ends_with(".list") || name.size() == 5) continue;
        forEachLine(contents(infoFolder(root) / entry->d_name), [&](std::string_view line) {
            if (line.size() > 1 && line.front() == '/' && liesWithinText(line, below)) listed.emplace(line);
        });
    }
    ::closedir(folder);
    for (Diversion& diversion : diversions(root))
        if (liesWithinText(diversion.to, below)) listed.insert(std::move(diversion.to));
    return listed;
}

std::unordered_map<std::string, std::vector<std::string>> programsByPackage(const fs::path& root) {
    // A file list is read again only when its size or time changed, or it is new: a machine's
    // hundreds of lists are read once, then only looked at.
    struct Read {
        std::int64_t size = -1;
        std::int64_t changed = 0;
        std::vector<std::string> programs;
    };
    static std::mutex readLock;
    static std::unordered_map<std::string, std::unordered_map<std::string, Read>> readLists;  // by info folder, then list
    std::unordered_map<std::string, std::vector<std::string>> programs;
    const fs::path info = infoFolder(root);
    DIR* folder = ::opendir(info.c_str());
    if (!folder) return programs;
    std::lock_guard lock(readLock);
    std::unordered_map<std::string, Read>& lists = readLists[info.native()];
    std::unordered_map<std::string, Read> current;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string_view name = entry->d_name;
        if (!name.ends_with(".list") || name.size() == 5) continue;
        struct stat status {};
        if (::fstatat(::dirfd(folder), entry->d_name, &status, 0) != 0 || !S_ISREG(status.st_mode)) continue;
        const std::int64_t changed = std::int64_t(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec;
        Read read;
        if (auto known = lists.find(entry->d_name); known != lists.end() && known->second.size == status.st_size && known->second.changed == changed) {
            read = std::move(known->second);
        } else {
            read = {std::int64_t(status.st_size), changed, {}};
            forEachLine(contents(info / entry->d_name), [&](std::string_view line) {
                const size_t slash = line.rfind('/');
                if (slash == std::string_view::npos || slash == 0 || slash + 1 == line.size()) return;
                const size_t above = line.rfind('/', slash - 1);
                const std::string_view folderName = line.substr(above + 1, slash - above - 1);
                if (folderName == "bin" || folderName == "sbin" || folderName == "games") read.programs.emplace_back(line);
            });
        }
        programs[std::string(name.substr(0, name.size() - 5))] = read.programs;
        current.emplace(entry->d_name, std::move(read));
    }
    ::closedir(folder);
    lists = std::move(current);
    return programs;
}

std::vector<fs::path> files(const Package& package, const fs::path& root) {
    // A file another diverted is where it was moved aside.
    std::unordered_map<std::string, std::string, TransparentHash, std::equal_to<>> movedAside;
    const std::string_view bare = std::string_view(package.name).substr(0, package.name.find(':'));
    for (Diversion& diversion : diversions(root))
        if (diversion.by != bare) movedAside.emplace(std::move(diversion.from), std::move(diversion.to));
    std::vector<fs::path> paths;
    forEachLine(contents(package.fileList), [&](std::string_view line) {
        if (const auto moved = movedAside.find(line); moved != movedAside.end()) line = moved->second;
        if (line.size() > 1 && line.front() == '/') paths.push_back(root / line.substr(1));
    });
    return paths;
}

}  // namespace DpkgDatabase
