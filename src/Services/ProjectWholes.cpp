#include "Services/ProjectWholes.h"

#include "Foundation/AsciiCase.h"
#include "Foundation/LiesWithin.h"
#include "Platform/DirectoryReader.h"
#include "Platform/FileContents.h"
#include "Platform/RealPath.h"
#include "Services/ProjectReferences.h"

#include <algorithm>
#include <array>

namespace {

using Kind = DirectoryEntry::Kind;

// A static site generator's configuration, beside the folder of its content.
constexpr std::array siteConfigurations{std::string_view("hugo.toml"), std::string_view("hugo.yaml"), std::string_view("hugo.yml"),
                                        std::string_view("hugo.json"), std::string_view("config.toml"), std::string_view("config.yaml"),
                                        std::string_view("config.yml"), std::string_view("config.json")};
constexpr std::array jekyllConfigurations{std::string_view("_config.yml"), std::string_view("_config.yaml")};
constexpr std::array markerNames{std::string_view("content"), std::string_view("_posts"), std::string_view("mimetype"), std::string_view("META-INF"),
                                 std::string_view("container.xml"), std::string_view("interchange")};

constexpr std::array audioExtensions{std::string_view("mp3"), std::string_view("flac"), std::string_view("ogg"), std::string_view("oga"),
                                     std::string_view("opus"), std::string_view("m4a"), std::string_view("aac"), std::string_view("wav"),
                                     std::string_view("wma"), std::string_view("ape"), std::string_view("wv"), std::string_view("aiff"),
                                     std::string_view("aif"), std::string_view("alac"), std::string_view("dsf"), std::string_view("dff"),
                                     std::string_view("mpc")};
constexpr std::array imageExtensions{std::string_view("jpg"), std::string_view("jpeg"), std::string_view("png"), std::string_view("gif"),
                                     std::string_view("bmp"), std::string_view("webp"), std::string_view("tif"), std::string_view("tiff")};

template <std::size_t N>
bool hasExtension(std::string_view name, const std::array<std::string_view, N>& extensions) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return false;
    const std::string_view extension = name.substr(dot + 1);
    return std::any_of(extensions.begin(), extensions.end(), [&](std::string_view known) { return equalIgnoringAsciiCase(extension, known); });
}

bool endsWithIgnoringCase(std::string_view name, std::string_view end) { return name.size() > end.size() && equalIgnoringAsciiCase(name.substr(name.size() - end.size()), end); }

std::string_view fileNameOf(std::string_view path) { return path.substr(path.rfind('/') + 1); }

const DirectoryEntry* entryNamed(const std::vector<DirectoryEntry>& entries, std::string_view name, Kind kind) {
    for (const DirectoryEntry& entry : entries)
        if (entry.type == kind && entry.name == name) return &entry;
    return nullptr;
}

template <std::size_t N>
bool holdsAnyFile(const std::vector<DirectoryEntry>& entries, const std::array<std::string_view, N>& names) {
    return std::any_of(names.begin(), names.end(), [&](std::string_view name) { return entryNamed(entries, name, Kind::file); });
}

}  // namespace

bool ProjectWholes::keeps(std::string_view entryName) {
    auto among = [&](const auto& names) { return std::find(names.begin(), names.end(), entryName) != names.end(); };
    return among(siteConfigurations) || among(jekyllConfigurations) || among(markerNames) || endsWithIgnoringCase(entryName, ".ardour") ||
           endsWithIgnoringCase(entryName, ".aup") || entryName.ends_with("_data");
}

bool ProjectWholes::isProjectDocument(std::string_view fileName) { return ProjectReferences::kindOf(fileName).has_value(); }

bool ProjectWholes::isAudio(std::string_view fileName) { return hasExtension(fileName, audioExtensions); }

ProjectWholes::ProjectWholes(Listed listed, std::vector<std::string> documents, std::unordered_map<std::string, std::size_t> audioFiles,
                             const SystemRoots& roots)
    : listed_(std::move(listed)), documents_(std::move(documents)), audioFiles_(std::move(audioFiles)) {
    const std::string home = comparableFolder(roots.home).native();
    looseFolders_.push_back(home);
    for (const std::filesystem::path& folder : roots.userFolders) looseFolders_.push_back(comparableFolder(folder).native());
    for (const auto& [folder, count] : audioFiles_)
        if (count >= 2 && !isLooseFolder(folder)) holdingAlbums_.insert(folderOfText(folder));
    // A Templates folder set to the home, or above it, names no folder of its own.
    if (!roots.templates.empty())
        if (std::string templates = comparableFolder(roots.templates).native(); !liesWithinText(home, templates)) templates_ = std::move(templates);
}

bool ProjectWholes::isLooseFolder(const std::string& folder) const {
    return std::find(looseFolders_.begin(), looseFolders_.end(), folder) != looseFolders_.end();
}

std::vector<DirectoryEntry> ProjectWholes::entriesOf(const std::string& folder) {
    if (const std::vector<DirectoryEntry>* entries = listed_ ? listed_(folder) : nullptr) return *entries;
    std::vector<DirectoryEntry> entries;
    DirectoryReader::read(folder, entries);
    std::erase_if(entries, [](const DirectoryEntry& entry) { return !keeps(entry.name); });
    return entries;
}

void ProjectWholes::readDocuments() {
    std::sort(documents_.begin(), documents_.end());
    for (const std::string& document : documents_) {
        if (ProjectReferences::kindOf(fileNameOf(document)) == ProjectReferences::Kind::latexDocument) {
            const std::vector<std::string> included = ProjectReferences::includedByDocument(document);
            if (included.empty()) continue;  // a document on its own is no project
            named_.emplace(document, Belonging{UntickedReason::projectPart, document});
            for (const std::string& file : included) named_.emplace(locatedPath(file).native(), Belonging{UntickedReason::projectPart, document});
        } else {
            for (const std::string& file : ProjectReferences::namedByVideoProject(document))
                named_.emplace(locatedPath(file).native(), Belonging{UntickedReason::usedByProject, document});
        }
    }
}

std::optional<ProjectWholes::Belonging> ProjectWholes::of(const std::string& path) {
    if (!templates_.empty() && liesWithinText(path, templates_)) return Belonging{UntickedReason::userTemplate, templates_};
    std::call_once(documentsRead_, [&] { readDocuments(); });
    if (const auto byDocument = named_.find(path); byDocument != named_.end()) return byDocument->second;
    const std::string folder = folderOfText(path);
    const std::string_view name = fileNameOf(path);
    if (endsWithIgnoringCase(name, ".aup") && entryNamed(entriesOf(folder), std::string(name.substr(0, name.size() - 4)) + "_data", Kind::directory))
        return Belonging{UntickedReason::projectPart, path};
    if (std::optional<Belonging> project = folderProject(folder)) return project;
    if (isAlbumArt(path)) return Belonging{UntickedReason::albumArt, folder};
    return std::nullopt;
}

// A folder's project is its own, or its parent's: each folder is looked at once, up to the top.
std::optional<ProjectWholes::Belonging> ProjectWholes::folderProject(const std::string& folder) {
    return folders_.of(folder, [&] {
        std::optional<Belonging> project = ownProject(folder);
        if (!project && folder != "/") project = folderProject(folderOfText(folder));
        return project;
    });
}

std::optional<ProjectWholes::Belonging> ProjectWholes::ownProject(const std::string& folder) {
    const std::string_view name = fileNameOf(folder);
    const Belonging project{UntickedReason::projectPart, folder};
    if (endsWithIgnoringCase(name, ".scriv")) return project;
    // Audacity's "NAME_data" belongs with the "NAME.aup" beside it.
    if (name.ends_with("_data") && folder != "/") {
        const std::string parent = folderOfText(folder);
        const std::string aup = std::string(name.substr(0, name.size() - 5)) + ".aup";
        if (entryNamed(entriesOf(parent), aup, Kind::file)) return Belonging{UntickedReason::projectPart, (std::filesystem::path(parent) / aup).native()};
    }
    const std::vector<DirectoryEntry> entries = entriesOf(folder);
    if (entries.empty()) return std::nullopt;
    if (holdsAnyFile(entries, siteConfigurations) && entryNamed(entries, "content", Kind::directory)) return project;
    if (holdsAnyFile(entries, jekyllConfigurations) && entryNamed(entries, "_posts", Kind::directory)) return project;
    if (std::any_of(entries.begin(), entries.end(), [](const DirectoryEntry& entry) { return entry.type == Kind::file && endsWithIgnoringCase(entry.name, ".ardour"); }) &&
        entryNamed(entries, "interchange", Kind::directory))
        return project;
    // An unpacked EPUB: its "mimetype" says so (one that cannot be read counts), and its container
    // names the book's files.
    if (entryNamed(entries, "mimetype", Kind::file) && entryNamed(entries, "META-INF", Kind::directory) &&
        entryNamed(entriesOf(folder + "/META-INF"), "container.xml", Kind::file)) {
        const std::optional<std::string> mimetype = FileContents::head(folder + "/mimetype", 20);
        if (!mimetype || mimetype->starts_with("application/epub+zip")) return project;
    }
    return std::nullopt;
}

std::size_t ProjectWholes::audioFilesIn(const std::string& folder) {
    if (const auto counted = audioFiles_.find(folder); counted != audioFiles_.end()) return counted->second;
    if (listed_ && listed_(folder)) return 0;  // the walk listed it, and counted none
    return audioRead_.of(folder, [&] {
        std::vector<DirectoryEntry> entries;
        DirectoryReader::read(folder, entries);
        return std::size_t(std::count_if(entries.begin(), entries.end(), [](const DirectoryEntry& entry) { return entry.type == Kind::file && isAudio(entry.name); }));
    });
}

bool ProjectWholes::isAlbumFolder(const std::string& folder) { return !isLooseFolder(folder) && audioFilesIn(folder) >= 2; }

// An image in an album's folder, in a folder holding one (the album's cover above its disc
// folders), or in a folder of one (its scanned artwork).
bool ProjectWholes::isAlbumArt(const std::string& path) {
    if (!hasExtension(fileNameOf(path), imageExtensions)) return false;
    const std::string folder = folderOfText(path);
    return isAlbumFolder(folder) || (holdingAlbums_.contains(folder) && !isLooseFolder(folder)) || (folder != "/" && isAlbumFolder(folderOfText(folder)));
}
