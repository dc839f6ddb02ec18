#pragma once

#include "Models/PackageKind.h"
#include "Platform/DesktopEntry.h"
#include "Platform/SystemRoots.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// An application that Flatpak or Snap installed. Its entry is the store's export: moving it removes
// nothing, and the store puts it back at the next update. Only the store's own tool removes it.
struct SandboxPackage {
    PackageKind kind = PackageKind::flatpak;
    std::string name;  // the Flatpak application ID or the snap's name
    // What the store keeps of it: the Flatpak's deployment folder, or the snap's revisions.
    std::vector<std::filesystem::path> installedItems;

    // From where the entry lies (a Flatpak "exports" folder, snapd's desktop folder) or the keys the
    // stores write into it ("X-Flatpak", "X-SnapInstanceName"), where the store has that ID installed.
    static std::optional<SandboxPackage> of(const std::filesystem::path& entryFile, const DesktopEntry& entry, const SystemRoots& roots);
};
