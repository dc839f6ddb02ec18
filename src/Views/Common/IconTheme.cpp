#include "Views/Common/IconTheme.h"

#include "Foundation/PathText.h"
#include "Platform/SystemRoots.h"
#include "Views/Common/IconFile.h"
#include "Views/Common/IconLookup.h"

#include <QHash>

#include <algorithm>
#include <memory>

namespace fs = std::filesystem;

namespace IconTheme {

namespace {

std::unique_ptr<IconLookup>& sharedLookup() {
    static std::unique_ptr<IconLookup> lookup;
    return lookup;
}

bool isBelow(const fs::path& path, const fs::path& folder) {
    if (folder.empty()) return false;
    const fs::path plain = path.lexically_normal(), top = folder.lexically_normal();
    auto [end, unused] = std::mismatch(top.begin(), top.end(), plain.begin(), plain.end());
    (void)unused;
    return end == top.end() || (std::next(end) == top.end() && end->empty());  // "top/" ends in an empty part
}

// The given folders as paths, each once, in order; Qt's resource folders (":/icons") are not on disk.
std::vector<fs::path> onDisk(const QStringList& folders) {
    std::vector<fs::path> paths;
    for (const QString& folder : folders) {
        if (folder.isEmpty() || folder.startsWith(QLatin1Char(':'))) continue;
        const fs::path path = PathText::fromText(folder);
        if (std::find(paths.begin(), paths.end(), path) == paths.end()) paths.push_back(path);
    }
    return paths;
}

}  // namespace

void prepare() {
    if (sharedLookup()) return;
    // A bare window manager names only hicolor, which holds few icons: Adwaita stands behind it.
    const QString fallback = QIcon::fallbackThemeName();
    if (fallback.isEmpty() || fallback == QLatin1String("hicolor")) QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
    if (QIcon::themeName().isEmpty()) QIcon::setThemeName(QStringLiteral("hicolor"));

    const SystemRoots roots = SystemRoots::current();
    QStringList themeFolders = QIcon::themeSearchPaths();
    QStringList pixmapFolders = QIcon::fallbackSearchPaths();
    themeFolders.append(PathText::display(roots.dataHome / "icons"));
    pixmapFolders.append(PathText::display(roots.dataHome / "pixmaps"));
    for (const auto& dir : roots.dataDirs) {
        themeFolders.append(PathText::display(dir / "icons"));
        pixmapFolders.append(PathText::display(dir / "pixmaps"));
    }
    IconLookup::Places places{onDisk(themeFolders), {}, onDisk(pixmapFolders)};
    for (const QString& theme : {QIcon::themeName(), QIcon::fallbackThemeName(), QStringLiteral("hicolor")})
        if (IconLookup::isThemeName(theme)) places.themes.append(theme);

    // Qt's loader keeps only the folders the user cannot write.
    auto userWritable = [&roots](const QString& folder) {
        const fs::path path = PathText::fromText(folder);
        return isBelow(path, roots.home) || isBelow(path, roots.dataHome);
    };
    themeFolders.removeIf(userWritable);
    pixmapFolders.removeIf(userWritable);
    QIcon::setThemeSearchPaths(themeFolders);
    QIcon::setFallbackSearchPaths(pixmapFolders);
    sharedLookup() = std::make_unique<IconLookup>(std::move(places));
}

std::vector<fs::path> files(const QString& name) { return sharedLookup()->files(name); }

QIcon icon(const QString& name) {
    prepare();
    static QHash<QString, QIcon> found;
    auto cached = found.constFind(name);
    if (cached != found.constEnd()) return *cached;
    const QIcon icon = IconFile::read(files(name));
    found.insert(name, icon);
    return icon;
}

}  // namespace IconTheme
