#pragma once

#include "Foundation/FileIdentity.h"
#include "Models/ArtifactCategory.h"
#include "Models/PackageKind.h"
#include "Models/WholeKind.h"
#include "Foundation/Uuid.h"

#include <QString>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

// One item that belongs to an application: the application itself or one of its leftovers.
struct AppArtifact {
    Uuid id = Uuid::random();
    std::filesystem::path path;
    std::int64_t size = 0;  // allocated bytes
    ArtifactCategory category = ArtifactCategory::application;
    bool isSelected = true;  // the only field changed after it is made
    // The package that installed it, when one did: then it is never ticked nor moved, as only the
    // package manager removes it. Empty for the user's own files.
    std::string package = {};
    PackageKind packageKind = PackageKind::debian;
    // Another install that uses it, when one does (a program of its name kept elsewhere, another
    // entry starting one): why it is not ticked.
    std::filesystem::path usedBy = {};
    // The name of the application whose entry that is, when it is one ("FreeCAD Weekly").
    QString usedByName = {};
    // The user's own work it is, holds or lies in (a repository, a synced folder...), or, as a link or
    // holding links, leads into: why it is never ticked.
    std::optional<WholeKind> whole = {};
    bool leadsIntoWhole = false;
    // The dotfiles repository that keeps it (a git repository whose work tree is the home, chezmoi's
    // source): moving it would delete what that repository keeps, so it is never ticked.
    // `dotfilesUnread`: what that repository keeps could not be read, so it may keep this.
    std::filesystem::path keptInDotfiles = {};
    bool dotfilesUnread = false;
    // The item as it was listed: the removal moves only that very item.
    std::optional<FileIdentity> identity = {};

    bool isLocked() const { return !package.empty(); }

    bool operator==(const AppArtifact&) const = default;
};
