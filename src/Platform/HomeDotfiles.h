#pragma once

#include "Platform/MountPoints.h"
#include "Platform/SystemRoots.h"
#include "Platform/TrackedPaths.h"

#include <filesystem>
#include <optional>
#include <vector>

// The dotfiles repositories of the user's home: the git repositories whose work tree is the home
// (the home's own ~/.git; a bare repository at the home's top or in the data folder, used with
// `--work-tree=$HOME` as the usual alias does, or with core.worktree set to it as yadm's and vcsh's
// are) and chezmoi's source. What each keeps is read once, when they are found.
class HomeDotfiles {
public:
    // A repository that keeps an item; `known` false when what it keeps could not be read, so it may
    // keep anything in the home.
    struct Keeper {
        std::filesystem::path repository;
        bool known = true;
    };

    // Looks at the home's top, the data folder's top, yadm's and vcsh's folders and chezmoi's source;
    // no folder a file system is mounted on is looked into.
    static HomeDotfiles of(const SystemRoots& roots, const MountPoints& mounts);

    // The repository that keeps `item`: one that tracks it or something in it, the first found; else
    // one whose list could not be read, as it may. Nothing for an item outside the home.
    std::optional<Keeper> keeping(const std::filesystem::path& item) const;

private:
    struct Repository {
        std::filesystem::path place;
        std::optional<TrackedPaths> kept;
    };

    std::filesystem::path home_;
    std::filesystem::path realHome_;
    std::vector<Repository> repositories_;
};
