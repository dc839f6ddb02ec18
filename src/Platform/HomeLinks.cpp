#include "Platform/HomeLinks.h"

#include "Foundation/FileDescriptor.h"
#include "Foundation/LiesWithin.h"
#include "Foundation/PathText.h"
#include "Platform/RealPath.h"
#include "Platform/TrashFolders.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <climits>
#include <string_view>
#include <unordered_set>

namespace fs = std::filesystem;

namespace {

// How many levels below the home folder the links are looked for.
constexpr int homeLevels = 3;

// A folder that tools fill with links, where below it they lie, how many levels below that, and
// the start of the names of the folders entered there.
struct LinkingFolder {
    std::string_view name;
    std::string_view below;
    int levels;
    std::string_view entered;
};

constexpr std::array linkingFolders{
    LinkingFolder{"renv", "library", 2, ""},       // renv/library/R-4.2/<platform>/<package>
    LinkingFolder{".venv", "lib", 2, ""},          // .venv/lib/python3.11/site-packages/<package>
    LinkingFolder{"node_modules", "", 1, "@"},     // node_modules/@scope/<package>
};

struct Pending {
    fs::path folder;
    int levelsLeft;  // of folders below this one still read
    fs::path label;  // where a link found below is said to lie; empty for the link's own folder
    std::string_view entered = {};  // only folders whose names start so are read below it
};

// Where a link points, its folders' links resolved and its own name kept: a link to a link in a
// cache breaks with the cache all the same.
fs::path target(int folder, const fs::path& folderPath, const char* name) {
    char written[PATH_MAX];
    const ssize_t length = ::readlinkat(folder, name, written, sizeof written);
    if (length <= 0 || std::size_t(length) >= sizeof written) return {};
    fs::path place(std::string(written, std::size_t(length)));
    if (place.is_relative()) place = folderPath / place;
    return locatedPath(place.lexically_normal());
}

}  // namespace

namespace HomeLinks {

PlaceIndex read(const SystemRoots& roots, const std::vector<fs::path>& folders, const MountPoints& mounts) {
    PlaceIndex links;
    const std::optional<fs::path> home = realPath(roots.home);
    if (!home || folders.empty()) return links;
    const TrashFolders trash = TrashFolders::current();
    std::unordered_set<std::string> unentered;
    for (const fs::path& folder : folders) unentered.insert(folder.native());
    for (const fs::path& point : mounts.within(*home))
        if (point != *home) unentered.insert(point.native());

    std::vector<Pending> pending{{*home, homeLevels, {}}};
    while (!pending.empty()) {
        const Pending current = std::move(pending.back());
        pending.pop_back();
        const FileDescriptor opened(::open(current.folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
        if (!opened.isOpen()) continue;
        DIR* listing = ::fdopendir(::dup(opened.get()));
        if (!listing) continue;
        while (const dirent* entry = ::readdir(listing)) {
            const std::string_view name = entry->d_name;
            if (name == "." || name == "..") continue;
            unsigned char type = entry->d_type;
            if (type == DT_UNKNOWN) {
                // Some file systems leave the kind to be asked.
                struct stat status {};
                if (::fstatat(opened.get(), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0) continue;
                type = S_ISLNK(status.st_mode) ? DT_LNK : S_ISDIR(status.st_mode) ? DT_DIR : DT_REG;
            }
            if (type == DT_LNK) {
                const fs::path place = target(opened.get(), current.folder, entry->d_name);
                if (place.empty()) continue;
                if (std::any_of(folders.begin(), folders.end(), [&](const fs::path& folder) { return liesWithin(place, folder); }))
                    links.add(place, (current.label.empty() ? current.folder : current.label).native());
                continue;
            }
            if (type != DT_DIR) continue;
            const fs::path below = current.folder / std::string(name);
            if (unentered.contains(below.native()) || trash.isTrashFolder(current.folder.native(), name)) continue;
            const auto linking = std::find_if(linkingFolders.begin(), linkingFolders.end(), [&](const LinkingFolder& each) { return each.name == name; });
            if (linking != linkingFolders.end() && current.label.empty()) {
                const fs::path inside = linking->below.empty() ? below : below / std::string(linking->below);
                pending.push_back({inside, linking->levels, inside, linking->entered});
            } else if (current.levelsLeft > 0 && name.starts_with(current.entered)) {
                pending.push_back({below, current.levelsLeft - 1, current.label, current.entered});
            }
        }
        ::closedir(listing);
    }
    links.sort();
    return links;
}

}  // namespace HomeLinks
