#include "Platform/DpkgDatabase.h"

#include "Platform/FileContents.h"

#include <dirent.h>


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

// "/usr/share/x" for root/usr/share/x: the name dpkg knows the file by.
std::string systemPath(const fs::path& file, const fs::path& root) {
    return (fs::path("/") / file.lexically_relative(root)).lexically_normal().string();
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

}  // namespace

namespace DpkgDatabase {

std::unordered_map<std::string, Package> owners(const std::vector<fs::path>& files, const fs::path& root) {
    std::unordered_map<std::string, std::string, TransparentHash, std::equal_to<>> wanted;  // system path → full path
    for (const auto& file : files) wanted.emplace(systemPath(file, root), file.string());

    std::unordered_map<std::string, Package> found;
    DIR* folder = ::opendir(infoFolder(root).c_str());
    if (!folder) return found;
    while (found.size() < wanted.size()) {
        const dirent* entry = ::readdir(folder);
        if (!entry) break;
        const std::string_view name = entry->d_name;
        if (!name.ends_with(".list") || name.size() == 5) continue;
        const fs::path list = infoFolder(root) / entry->d_name;
        forEachLine(contents(list), [&](std::string_view line) {
            auto match = wanted.find(line);
            if (match != wanted.end()) found.try_emplace(match->second, Package{std::string(name.substr(0, name.size() - 5)), {}, list});
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

std::vector<fs::path> files(const Package& package, const fs::path& root) {
    std::vector<fs::path> paths;
    forEachLine(contents(package.fileList), [&](std::string_view line) {
        if (line.size() > 1 && line.front() == '/') paths.push_back(root / line.substr(1));
    });
    return paths;
}

}  // namespace DpkgDatabase
