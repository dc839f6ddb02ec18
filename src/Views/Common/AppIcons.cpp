#include "Views/Common/AppIcons.h"

#include "Views/Common/IconFile.h"
#include "Views/Common/IconLookup.h"
#include "Views/Common/IconTheme.h"

#include <QHash>

#include <filesystem>

namespace AppIcons {

QIcon icon(const std::string& iconName) {
    static QHash<QString, QIcon> found;
    const QString key = QString::fromStdString(iconName);
    auto cached = found.constFind(key);
    if (cached != found.constEnd()) return *cached;

    QIcon icon;
    if (std::filesystem::path(iconName).is_absolute()) {
        icon = IconFile::read(iconName);
    } else if (IconLookup::isThemeName(key)) {
        icon = IconTheme::icon(key);
    }
    if (icon.isNull()) icon = IconTheme::icon(QStringLiteral("application-x-executable"));
    found.insert(key, icon);
    return icon;
}

}  // namespace AppIcons
