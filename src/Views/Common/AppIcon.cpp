#include "Views/Common/AppIcon.h"

#include <QHash>

QIcon appIcon(const AppUsage& app) {
    static QHash<QString, QIcon> cache;
    const QString name = QString::fromStdString(app.id.empty() ? app.name : app.id);
    auto found = cache.constFind(name);
    if (found != cache.constEnd()) return *found;
    QIcon icon = QIcon::fromTheme(QString::fromStdString(app.name));
    if (icon.isNull()) icon = QIcon::fromTheme(QStringLiteral("application-x-executable"));
    cache.insert(name, icon);
    return icon;
}
