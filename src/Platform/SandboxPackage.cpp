#include "Platform/SandboxPackage.h"

#include "Foundation/IsPresent.h"
#include "Foundation/LiesWithin.h"
#include "Platform/FolderListing.h"
#include "Platform/RealPath.h"

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// The entry's file, as written and with its links resolved.
struct EntryPlace {
    fs::path file;
    std::optional<fs::path> real;

    // Below `folder` as written or as resolved: exports are links into the deployment. A folder that
    // is not there is not resolved: every entry is asked.
    bool liesBelow(const fs::path& folder) const {
        if (liesWithin(file.lexically_normal(), folder.lexically_normal())) return true;
        if (!real || !isPresent(folder)) return false;
        const auto realFolder = realPath(folder);
        return realFolder && liesWithin(*real, *realFolder);
    }
};

std::string text(const DesktopEntry& entry, std::string_view key) {
    return entry.text(key).value_or(QString()).trimmed().toStdString();
}

bool isUsableName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

std::optional<SandboxPackage> flatpak(const EntryPlace& place, const DesktopEntry& entry, const SystemRoots& roots) {
    const fs::path& entryFile = place.file;
    const fs::path userInstallation = roots.dataHome / "flatpak";
    const fs::path systemInstallation = roots.root / "var/lib/flatpak";
    std::string id = text(entry, "X-Flatpak");
    const bool exported = place.liesBelow(userInstallation / "exports") || place.liesBelow(systemInstallation / "exports") ||
                          entryFile.lexically_normal().native().find("/flatpak/exports/share/applications/") != std::string::npos;
    if (id.empty() && exported) id = entryFile.stem().native();
    if (!isUsableName(id)) return std::nullopt;
    // A key copied into an entry of the user's proves nothing: outside the exports, only the
    // installed application of that ID makes the entry a Flatpak's.
    if (!exported && !isPresent(userInstallation / "app" / id) && !isPresent(systemInstallation / "app" / id)) return std::nullopt;
    const bool user = place.liesBelow(userInstallation) || isPresent(userInstallation / "app" / id);
    const fs::path installation = user ? userInstallation : systemInstallation;
    return SandboxPackage{user ? PackageKind::userFlatpak : PackageKind::flatpak, id, {installation / "app" / id}};
}

std::optional<SandboxPackage> snap(const EntryPlace& place, const DesktopEntry& entry, const SystemRoots& roots) {
    const fs::path& entryFile = place.file;
    std::string name = text(entry, "X-SnapInstanceName");
    // snapd names its entries "<snap>_<app>.desktop".
    const bool exported = place.liesBelow(roots.root / "var/lib/snapd/desktop/applications");
    if (name.empty() && exported) name = entryFile.stem().native().substr(0, entryFile.stem().native().find('_'));
    if (!isUsableName(name)) return std::nullopt;
    SandboxPackage package{PackageKind::snap, name, {}};
    const fs::path revisions = roots.root / "var/lib/snapd/snaps";
    for (const fs::path& file : FolderListing::entries(revisions).value_or(std::vector<fs::path>{}))
        if (file.filename().native().starts_with(name + "_") && FolderListing::lowercaseExtension(file) == "snap") package.installedItems.push_back(file);
    // As with Flatpak: outside snapd's folder, only an installed snap of that name makes it a snap's.
    if (!exported && package.installedItems.empty() && !isPresent(roots.root / "snap" / name)) return std::nullopt;
    return package;
}

}  // namespace

std::optional<SandboxPackage> SandboxPackage::of(const fs::path& entryFile, const DesktopEntry& entry, const SystemRoots& roots) {
    const EntryPlace place{entryFile, realPath(entryFile)};
    if (auto package = flatpak(place, entry, roots)) return package;
    return snap(place, entry, roots);
}
