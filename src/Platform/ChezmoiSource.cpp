#include "Platform/ChezmoiSource.h"

#include "Platform/FileContents.h"

#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Deeper than any home's settings; a folder there is kept whole, whatever it holds.
constexpr int deepestSourceLevel = 32;

bool strip(std::string_view& name, std::string_view affix, bool prefix = true) {
    if (prefix ? !name.starts_with(affix) : !name.ends_with(affix)) return false;
    prefix ? name.remove_prefix(affix.size()) : name.remove_suffix(affix.size());
    return true;
}

// The source's root: its folder, or the folder its ".chezmoiroot" names inside it.
std::optional<fs::path> sourceRoot(const fs::path& folder) {
    struct stat info {};
    if (::lstat((folder / ".chezmoiroot").c_str(), &info) != 0) return errno == ENOENT ? std::optional(folder) : std::nullopt;
    const auto text = FileContents::read(folder / ".chezmoiroot", 4096);
    if (!text) return std::nullopt;
    const std::string line = text->substr(0, text->find('\n'));
    const std::size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos) return folder;
    const fs::path inside = fs::path(line.substr(first, line.find_last_not_of(" \t\r") - first + 1)).lexically_normal();
    if (inside.is_absolute() || inside.empty() || *inside.begin() == "..") return std::nullopt;
    return folder / inside;
}

struct ReadName {
    std::string target;
    bool external = false;
};

// A source entry's name read as chezmoi reads it: its attributes before the name, then "dot_" or
// "literal_", then for a file the suffixes after it.
std::optional<ReadName> readName(std::string_view name, bool folder) {
    if (name.empty() || name.starts_with('.')) return std::nullopt;
    static constexpr std::array<std::string_view, 16> attributes{"create_", "modify_",  "symlink_", "encrypted_", "private_", "readonly_", "empty_", "executable_",
                                                                 "once_",   "onchange_", "before_", "after_",     "exact_",   "external_", "remove_", "run_"};
    ReadName read;
    bool encrypted = false;
    for (bool more = true; more;) {
        more = false;
        for (const std::string_view attribute : attributes)
            if (strip(name, attribute)) {
                if (attribute == "remove_" || attribute == "run_") return std::nullopt;
                encrypted |= attribute == "encrypted_";
                read.external |= attribute == "external_";
                more = true;
            }
    }
    if (!strip(name, "literal_") && strip(name, "dot_")) read.target = ".";
    if (!folder && !strip(name, ".literal", false)) {
        if (encrypted && !strip(name, ".age", false)) strip(name, ".asc", false);
        strip(name, ".tmpl", false);
    }
    if (name.empty()) return std::nullopt;
    read.target.append(name);
    return read;
}

struct PendingSourceFolder {
    fs::path source;
    std::string target;
    int depth;
    // Below an "external_" folder names are taken as they are.
    bool literal;
};

}  // namespace

std::optional<std::string> ChezmoiSource::targetName(std::string_view name, bool folder) {
    const auto read = readName(name, folder);
    return read ? std::optional(read->target) : std::nullopt;
}

std::optional<TrackedPaths> ChezmoiSource::targets(const fs::path& folder) {
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0) return errno == ENOENT ? std::optional(TrackedPaths{}) : std::nullopt;
    if (!S_ISDIR(info.st_mode)) return TrackedPaths{};
    const auto root = sourceRoot(folder);
    if (!root) return std::nullopt;
    TrackedPaths targets;
    std::vector<PendingSourceFolder> pending{{*root, "", 0, false}};
    while (!pending.empty()) {
        const PendingSourceFolder each = std::move(pending.back());
        pending.pop_back();
        std::error_code error;
        for (fs::directory_iterator it(each.source, error), end; !error && it != end; it.increment(error)) {
            const std::string name = it->path().filename().native();
            std::error_code unknown;
            const bool isFolder = it->symlink_status(unknown).type() == fs::file_type::directory;
            const auto read = each.literal ? (name.starts_with('.') ? std::nullopt : std::optional(ReadName{.target = name})) : readName(name, isFolder);
            if (!read) continue;
            std::string path = each.target.empty() ? read->target : each.target + '/' + read->target;
            if (!isFolder) targets.files.push_back(std::move(path));
            else if (each.depth + 1 >= deepestSourceLevel) targets.folders.push_back(std::move(path));
            else {
                targets.files.push_back(path);
                pending.push_back({it->path(), std::move(path), each.depth + 1, each.literal || read->external});
            }
        }
        if (error) return std::nullopt;
    }
    targets.sort();
    return targets;
}
