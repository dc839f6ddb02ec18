#include "Views/Common/IconTheme.h"

#include "Foundation/PathText.h"
#include "Platform/SystemRoots.h"

#include <QIcon>

namespace IconTheme {

void prepare() {
    static const bool prepared = [] {
        // A bare window manager names only hicolor, which holds few icons: Adwaita stands behind it.
        const QString fallback = QIcon::fallbackThemeName();
        if (fallback.isEmpty() || fallback == QLatin1String("hicolor")) QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
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
        return true;
    }();
    (void)prepared;
}

}  // namespace IconTheme
