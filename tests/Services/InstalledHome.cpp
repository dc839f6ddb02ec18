#include "Services/InstalledHome.h"

#include "Platform/DesktopApplications.h"
#include "Platform/DesktopEntry.h"
#include "Platform/EntryProgram.h"

namespace fs = std::filesystem;
using namespace InstalledFiles;

const std::initializer_list<InstalledHome::Planter> InstalledHome::everyTheme{
    &InstalledHome::plantOwnPrograms, &InstalledHome::plantRunnersAndStores, &InstalledHome::plantUnpackedFolders, &InstalledHome::plantNames,
    &InstalledHome::plantDrives,      &InstalledHome::plantLaunchers,        &InstalledHome::plantNamedPlaces,     &InstalledHome::plantNamesakes,
};

InstalledHome::InstalledHome(std::initializer_list<Planter> themes) {
    layMachine();
    for (const Planter theme : themes) (this->*theme)();
    settle();
}

InstalledHome::InstalledHome(Layout layout) {
    layMachine();
    layout(*this);
    settle();
}

// What every home has: the machine's tools that entries name, and the block an entry takes.
void InstalledHome::layMachine() {
    tree.file("usr/bin/flatpak", 4000);
    tree.file("usr/games/steam", 4000);
    tree.file("usr/bin/wine", 4000);
    const fs::path probe = tree.write("entry-probe.desktop", "[Desktop Entry]\n");
    entryBytes_ = allocated(probe);
    fs::remove(probe);
}

void InstalledHome::settle() {
    roots_ = SystemRoots::fixture(tree.path());
    for (const char* exports : {"home/.local/share/flatpak/exports/share", "var/lib/flatpak/exports/share", "var/lib/snapd/desktop"})
        roots_.dataDirs.push_back(tree.path() / exports);
    SystemRoots::install(roots_);
}

fs::path InstalledHome::link(const fs::path& target, const std::string& relative) const {
    fs::create_directories(home(relative).parent_path());
    fs::create_symlink(target, home(relative));
    return home(relative);
}

std::pair<fs::path, fs::path> InstalledHome::anAppImage(const std::string& id, const std::string& name, const std::string& image, const std::string& exec) const {
    const fs::path program = appImage(tree, "home/Applications/" + image, 40000);
    return {userEntry(id, name, "Exec=" + (exec.empty() ? "~/Applications/" + image : exec) + "\n"), program};
}

std::vector<InstalledApplication> InstalledHome::applications(const std::string& language) {
    return inSession(language, [&] { return service.installedApplications(); });
}

const Listed& InstalledHome::listed(const std::string& language, const std::string& id) {
    auto& inLanguage = listed_[language];
    if (const auto known = inLanguage.find(id); known != inLanguage.end()) return known->second;
    auto shown = shown_.find(language);
    if (shown == shown_.end()) shown = shown_.emplace(language, applications(language)).first;
    Listed& each = inLanguage[id];
    for (const InstalledApplication& application : shown->second) {
        if (application.desktopFileID.toStdString() != id) continue;
        each.size = application.size;
        each.artifacts = inSession(language, [&] { return service.artifacts(application); });
        for (const AppArtifact& artifact : each.artifacts) each.items.emplace_back(artifact.path, artifact.isSelected);
    }
    return each;
}

std::map<std::string, Listed> InstalledHome::listAll(const std::string& language) {
    std::map<std::string, Listed> all;
    shown_[language] = applications(language);
    for (const InstalledApplication& application : shown_[language]) {
        const std::string id = application.desktopFileID.toStdString();
        all[id] = listed(language, id);
    }
    return all;
}

std::vector<std::pair<fs::path, std::vector<fs::path>>> InstalledHome::namedPlaces() {
    std::vector<std::pair<fs::path, std::vector<fs::path>>> named;
    inSession("en", [&] {
        for (const auto& each : fs::recursive_directory_iterator(tree.path()))
            if (const auto entry = each.path().extension() == ".desktop" ? DesktopEntry::read(each.path()) : std::nullopt) {
                EntryProgram program = EntryProgram::of(*entry, roots_, DesktopApplications::environmentSearchPath());
                program.runs.insert(program.runs.end(), program.folders.begin(), program.folders.end());
                named.emplace_back(fs::canonical(each.path()), std::move(program.runs));
            }
        return 0;
    });
    return named;
}

InstalledHome& sharedHome() {
    static InstalledHome home;
    return home;
}
