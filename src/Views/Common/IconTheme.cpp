#include "Views/Common/IconTheme.h"

#include "Foundation/PathText.h"
#include "Platform/SystemRoots.h"

#include <QIcon>

namespace IconTheme {

void prepare() {
    static const bool prepared = [] {
        if (!QIcon::themeName().isEmpty()) return true;
        const SystemRoots roots = SystemRoots::current();
        QStringList paths = QIcon::themeSearchPaths();
        QStringList pixmaps;
        paths.append(PathText::display(roots.dataHome / "icons"));
        for (const auto& dir : roots.dataDirs) {
            paths.append(PathText::display(dir / "icons"));
            pixmaps.append(PathText::display(dir / "pixmaps"));
        }
        QIcon::setThemeSearchPaths(paths);
        QIcon::setFallbackSearchPaths(QIcon::fallbackSearchPaths() + pixmaps);
        QIcon::setThemeName(QStringLiteral("hicolor"));
        if (QIcon::fallbackThemeName().isEmpty()) QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
        return true;
    }();
    (void)prepared;
}

}  // namespace IconTheme
