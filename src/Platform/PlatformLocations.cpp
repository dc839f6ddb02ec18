#include "Platform/PlatformLocations.h"

#include <array>
#include <string>

namespace {

enum class Base { none, cacheHome, downloads };

// Most specific first: the first row whose folder is the name or one of its ancestors wins.
struct Row {
    std::string_view original;
    Base base;
    std::string_view linux;  // below `base`; the rest of the original name is appended
};

constexpr std::array rows{
    Row{"Library/Caches/com.docker.docker", Base::none, ""},
    Row{"Library/Caches/Yarn", Base::cacheHome, "yarn"},
    Row{"Library/Caches", Base::cacheHome, ""},
    Row{"Library/Logs", Base::none, ""},
    Row{"Library/Developer", Base::none, ""},
    Row{"Library", Base::none, ""},
    Row{"Downloads", Base::downloads, ""},
};

// "a/b" lies in "a" and in "a/b", not in "a/bc".
bool liesIn(std::string_view name, std::string_view folder) {
    return name.substr(0, folder.size()) == folder && (name.size() == folder.size() || name[folder.size()] == '/');
}

}  // namespace

std::optional<std::filesystem::path> PlatformLocations::homeFolder(std::string_view original, const SystemRoots& roots) {
    for (const Row& row : rows) {
        if (!liesIn(original, row.original)) continue;
        std::filesystem::path base;
        switch (row.base) {
        case Base::none: return std::nullopt;
        case Base::cacheHome: base = roots.cacheHome; break;
        case Base::downloads: base = roots.downloads; break;
        }
        if (!row.linux.empty()) base /= std::string(row.linux);
        std::string_view rest = original.substr(row.original.size());
        if (!rest.empty()) base /= std::string(rest.substr(1));
        return base;
    }
    // Dot folders of the developer tools (".npm", ".gradle") are where they are on every system.
    return roots.home / std::string(original);
}
