#include "Views/Common/AppIcons.h"

#include "Views/Common/IconTheme.h"

#include <QHash>

#include <filesystem>

namespace AppIcons {

QIcon icon(const std::string& iconName) {
    static QHash<QString, QIcon> found;
    const QString key = QString::fromStdString(iconName);
    auto cached = found.constFind(key);
    if (cached != found.constEnd()) return *cached;

    IconTheme::prepare();
    QIcon icon;
    if (!key.isEmpty()) {
        // Absolute paths are files; anything else is a name for the theme.
        if (std::filesystem::path(iconName).is_absolute())
            icon = QIcon(key);
        else
            icon = QIcon::fromTheme(key);
    }
    if (icon.isNull()) icon = QIcon::fromTheme(QStringLiteral("application-x-executable"));
    found.insert(key, icon);
    return icon;
}

}  // namespace AppIcons
