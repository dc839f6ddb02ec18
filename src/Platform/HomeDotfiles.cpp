#include "Platform/HomeDotfiles.h"

#include "Foundation/LiesWithin.h"
#include "Platform/ChezmoiSource.h"
#include "Platform/FileContents.h"
#include "Platform/GitConfig.h"
#include "Platform/GitIndex.h"
#include "Platform/RealPath.h"

#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <string_view>

namespace fs = std::filesystem;

namespace {

bool hasKind(const fs::path& path, mode_t kind) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && (info.st_mode & S_IFMT) == kind;
}

// A repository's own folder, as git tells one: HEAD beside objects/ and refs/.
bool isGitFolder(const fs::path& folder) {
    return hasKind(folder / "HEAD", S_IFREG) && hasKind(folder / "objects", S_IFDIR) && hasKind(folder / "refs", S_IFDIR);
}

// What a repository's config says of its work tree and of how it names objects. A file that cannot
// be read says nothing.
struct GitSettings {
    std::optional<std::string> worktree;
    std::size_t hashSize = 20;
};

GitSettings settingsOf(const fs::path& gitFolder) {
    GitSettings settings;
    const auto text = FileContents::read(gitFolder / "config", std::size_t(1) << 20);
    if (!text) return settings;
    settings.worktree = GitConfig::value(*text, "core", "worktree");
    if (const auto format = GitConfig::value(*text, "extensions", "objectFormat"); format && *format == "sha256") settings.hashSize = 32;
    return settings;
}

// The repositories' folders directly in `folder`, by name; none on a folder a file system is mounted
// on, which may not answer.
void gitFoldersIn(const fs::path& folder, const MountPoints& mounts, std::vector<fs::path>& found) {
    std::error_code error;
    std::vector<fs::path> inside;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        if (std::error_code unknown; it->symlink_status(unknown).type() == fs::file_type::directory) inside.push_back(it->path());
    std::sort(inside.begin(), inside.end());
    const fs::path located = realPath(folder).value_or(folder);
    for (const fs::path& each : inside) {
        const fs::path place = located / each.filename();
        const auto mounted = mounts.within(place);
        if (std::find(mounted.begin(), mounted.end(), place) == mounted.end() && isGitFolder(each)) found.push_back(each);
    }
}

}  // namespace

HomeDotfiles HomeDotfiles::of(const SystemRoots& roots, const MountPoints& mounts) {
    HomeDotfiles dotfiles;
    dotfiles.home_ = roots.home.lexically_normal();
    dotfiles.realHome_ = realPath(roots.home).value_or(dotfiles.home_);
    std::vector<fs::path> gitFolders;
    gitFoldersIn(roots.home, mounts, gitFolders);
    gitFoldersIn(roots.dataHome, mounts, gitFolders);
    for (const fs::path& yadm : {roots.dataHome / "yadm/repo.git", roots.configHome / "yadm/repo.git"})
        if (isGitFolder(yadm)) gitFolders.push_back(yadm);
    gitFoldersIn(roots.configHome / "vcsh/repo.d", mounts, gitFolders);
    for (const fs::path& gitFolder : gitFolders) {
        const GitSettings settings = settingsOf(gitFolder);
        // Without a work tree of its own, such a repository is used with the home as its work tree.
        fs::path workTree = dotfiles.home_;
        if (settings.worktree) workTree = gitFolder / *settings.worktree;
        if (realPath(workTree) != dotfiles.realHome_) continue;
        dotfiles.repositories_.push_back({gitFolder, GitIndex::tracked(gitFolder, settings.hashSize)});
    }
    const fs::path chezmoi = roots.dataHome / "chezmoi";
    if (struct stat info {}; ::lstat(chezmoi.c_str(), &info) == 0) dotfiles.repositories_.push_back({chezmoi, ChezmoiSource::targets(chezmoi)});
    return dotfiles;
}

std::optional<HomeDotfiles::Keeper> HomeDotfiles::keeping(const fs::path& item) const {
    auto inHome = [&](const fs::path& path, const fs::path& home) -> std::optional<std::string> {
        if (path == home || !liesWithin(path, home)) return std::nullopt;
        return path.native().substr(home.native().size() + (home == "/" ? 0 : 1));
    };
    fs::path normal = item.lexically_normal();
    if (!normal.has_filename()) normal = normal.parent_path();
    auto relative = inHome(normal, home_);
    if (!relative) relative = inHome(locatedPath(normal), realHome_);
    if (!relative) return std::nullopt;
    std::optional<Keeper> unread;
    for (const Repository& repository : repositories_) {
        if (!repository.kept) {
            if (!unread) unread = Keeper{repository.place, false};
        } else if (repository.kept->holds(*relative)) {
            return Keeper{repository.place, true};
        }
    }
    return unread;
}
