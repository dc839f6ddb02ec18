#include "Platform/PrivacySettings.h"

#include <QProcess>
#include <QStandardPaths>

namespace PrivacySettings {

const std::vector<Program>& knownPrograms() {
    static const std::vector<Program> programs{
        {"gnome-control-center", {"privacy"}},
        {"budgie-control-center", {"privacy"}},
        {"cinnamon-settings", {"privacy"}},
    };
    return programs;
}

bool open(const std::function<QString(const QString&)>& find, const std::function<bool(const QString&, const QStringList&)>& start) {
    for (const Program& program : knownPrograms()) {
        const QString path = find(program.name);
        if (!path.isEmpty()) return start(path, program.arguments);
    }
    return false;
}

bool open() {
    return open([](const QString& name) { return QStandardPaths::findExecutable(name); },
                [](const QString& path, const QStringList& arguments) { return QProcess::startDetached(path, arguments); });
}

}  // namespace PrivacySettings
