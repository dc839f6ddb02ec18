#include "Views/Common/IconLookup.h"

#include <QRegularExpression>

#include <optional>

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <tuple>

namespace fs = std::filesystem;

namespace {

constexpr std::array extensions{".png", ".svg", ".xpm"};
// The screens draw application icons up to 76 points, twice that on a dense screen.
constexpr int smallestWanted = 128, largestWanted = 256;

// The folders directly inside `folder`, by name; none when it cannot be listed. Listing opens
// only folders (O_DIRECTORY), which never waits on a FIFO.
std::vector<fs::path> subfolders(const fs::path& folder) {
    std::vector<fs::path> found;
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
        std::error_code kindError;
        if (entries->is_directory(kindError)) found.push_back(entries->path());
    }
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace

IconLookup::IconLookup(Places places) : places_(std::move(places)) {
    places_.themes.removeDuplicates();
}

bool IconLookup::isThemeName(const QString& name) {
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1String("..")) && !name.contains(QChar(0));
}

bool IconLookup::isRegularFile(const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// A theme's folders hold one size each: "48x48/apps", "48x48@2/apps", "scalable/apps", or the
// other way round, "apps/48". Folders of no size ("symbolic") are left out.
const std::vector<IconLookup::SizedFolder>& IconLookup::folders(const QString& theme) const {
    {
        const std::lock_guard lock(foldersMutex_);
        auto found = folders_.find(theme);
        if (found != folders_.end()) return found->second;
    }
    static const QRegularExpression sized(QStringLiteral("^(\\d+)(?:x\\d+)?(?:@(\\d+)x?)?$"));
    auto sideOf = [](const fs::path& folder) -> std::optional<int> {
        const QString name = QString::fromStdString(folder.filename().string());
        if (name == QLatin1String("scalable")) return scalableSide;
        const QRegularExpressionMatch match = sized.match(name);
        if (!match.hasMatch()) return std::nullopt;
        const int scale = match.captured(2).isEmpty() ? 1 : match.captured(2).toInt();
        return std::clamp(match.captured(1).toInt(), 1, 4096) * std::clamp(scale, 1, 4);
    };
    std::vector<SizedFolder> list;
    for (const fs::path& themeFolder : places_.themeFolders) {
        for (const fs::path& outer : subfolders(themeFolder / theme.toStdString())) {
            const std::optional<int> outerSide = sideOf(outer);
            for (const fs::path& inner : subfolders(outer)) {
                if (outerSide) {
                    list.push_back({inner, *outerSide});
                } else if (const std::optional<int> innerSide = sideOf(inner)) {
                    list.push_back({inner, *innerSide});
                }
            }
        }
    }
    // Entries are never removed, so the reference outlives the lock; a list another thread made first is kept.
    const std::lock_guard lock(foldersMutex_);
    return folders_.emplace(theme, std::move(list)).first->second;
}

std::vector<fs::path> IconLookup::files(const QString& name) const {
    if (!isThemeName(name)) return {};
    const std::string fileName = name.toStdString();
    // Lower is better: the largest bitmap of a wanted side, then a scalable one, then the largest
    // smaller bitmap, then the smallest larger one (a huge one scaled down loses its detail).
    auto rank = [](int side) {
        if (side == scalableSide) return std::tuple(1, 0);
        if (side >= smallestWanted && side <= largestWanted) return std::tuple(0, -side);
        return side < smallestWanted ? std::tuple(2, -side) : std::tuple(3, side);
    };
    for (const QString& theme : places_.themes) {
        std::vector<std::pair<int, fs::path>> found;
        for (const SizedFolder& folder : folders(theme)) {
            for (const char* extension : extensions) {
                fs::path candidate = folder.folder / (fileName + extension);
                if (isRegularFile(candidate)) found.emplace_back(folder.side, std::move(candidate));
            }
        }
        if (found.empty()) continue;
        std::stable_sort(found.begin(), found.end(), [&](const auto& a, const auto& b) { return rank(a.first) < rank(b.first); });
        const int bestSide = found.front().first == scalableSide ? largestWanted : found.front().first;
        std::vector<fs::path> files{found.front().second};
        for (auto it = found.begin() + 1; it != found.end(); ++it)
            if (it->first != scalableSide && it->first < bestSide) files.push_back(it->second);
        return files;
    }
    for (const fs::path& folder : places_.pixmapFolders) {
        for (const char* extension : extensions) {
            fs::path candidate = folder / (fileName + extension);
            if (isRegularFile(candidate)) return {std::move(candidate)};
        }
    }
    return {};
}
