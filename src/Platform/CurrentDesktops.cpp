#include "Platform/CurrentDesktops.h"

#include <algorithm>

namespace {

QStringList listed(const DesktopEntry& entry, std::string_view key) {
    return entry.text(key).value_or(QString()).split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

}  // namespace

namespace CurrentDesktops {

QStringList names() {
    return QString::fromLocal8Bit(qgetenv("XDG_CURRENT_DESKTOP")).split(QLatin1Char(':'), Qt::SkipEmptyParts);
}

QStringList onlyShowIn(const DesktopEntry& entry) {
    return listed(entry, "OnlyShowIn");
}

QStringList notShowIn(const DesktopEntry& entry) {
    return listed(entry, "NotShowIn");
}

bool show(const QStringList& only, const QStringList& excluded, const QStringList& desktops) {
    auto anyOf = [&](const QStringList& list) {
        return std::any_of(desktops.begin(), desktops.end(), [&](const QString& desktop) { return list.contains(desktop); });
    };
    if (!only.isEmpty() && !anyOf(only)) return false;
    return !anyOf(excluded);
}

}  // namespace CurrentDesktops
