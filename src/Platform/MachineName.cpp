#include "Platform/MachineName.h"

#include <QFile>
#include <QSysInfo>

namespace MachineName {

QString prettyHostName(const QByteArray& machineInfo) {
    for (const QByteArray& rawLine : machineInfo.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (!line.startsWith("PRETTY_HOSTNAME=")) continue;
        QByteArray value = line.mid(int(sizeof("PRETTY_HOSTNAME=") - 1));
        // An environment-style assignment: quoted with " or ', backslash escapes inside.
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
            value = value.mid(1, value.size() - 2);
            QByteArray unescaped;
            for (qsizetype i = 0; i < value.size(); ++i) {
                if (value[i] == '\\' && i + 1 < value.size()) ++i;
                unescaped += value[i];
            }
            value = unescaped;
        }
        return QString::fromUtf8(value).trimmed();
    }
    return {};
}

QString pretty(const std::filesystem::path& root) {
    QFile file(QString::fromStdString((root / "etc/machine-info").string()));
    if (file.open(QIODevice::ReadOnly)) {
        const QString name = prettyHostName(file.read(64 * 1024));
        if (!name.isEmpty()) return name;
    }
    const QString host = QSysInfo::machineHostName();
    return host.isEmpty() ? QStringLiteral("Linux") : host;
}

}  // namespace MachineName
