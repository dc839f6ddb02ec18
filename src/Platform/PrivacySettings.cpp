#include "Platform/PrivacySettings.h"

#include <QProcess>
#include <QStandardPaths>

#include <algorithm>

namespace PrivacySettings {

const std::vector<Program>& knownPrograms() {
    static const std::vector<Program> programs{
        {"gnome-control-center", {"privacy"}},
        {"budgie-control-center", {"privacy"}},
        {"cinnamon-settings", {"privacy"}},
    };
    return programs;
}

namespace {

QString onSearchPath(const QString& name) { return QStandardPaths::findExecutable(name); }

}  // namespace

bool available(const std::function<QString(const QString&)>& find) {
    return std::any_of(knownPrograms().begin(), knownPrograms().end(), [&](const Program& program) { return !find(program.name).isEmpty(); });
}

bool available() { return available(onSearchPath); }

bool open(const std::function<QString(const QString&)>& find, const std::function<bool(const QString&, const QStringList&)>& start) {
    for (const Program& program : knownPrograms()) {
        const QString path = find(program.name);
        if (!path.isEmpty()) return start(path, program.arguments);
    }
    return false;
}

bool open() {
    return open(onSearchPath, [](const QString& path, const QStringList& arguments) { return QProcess::startDetached(path, arguments); });
}

}  // namespace PrivacySettings
