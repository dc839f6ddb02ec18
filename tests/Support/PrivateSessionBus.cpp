#include "Support/PrivateSessionBus.h"

#include <QElapsedTimer>
#include <QStandardPaths>

bool PrivateSessionBus::isInstalled() { return !QStandardPaths::findExecutable("dbus-daemon").isEmpty(); }

PrivateSessionBus::PrivateSessionBus() {
    const QString daemon = QStandardPaths::findExecutable("dbus-daemon");
    if (daemon.isEmpty()) return;
    daemon_.start(daemon, {"--session", "--nofork", "--print-address"});
    if (!daemon_.waitForStarted(5000)) return;
    QElapsedTimer waited;
    waited.start();
    while (!daemon_.canReadLine() && waited.elapsed() < 5000) daemon_.waitForReadyRead(100);
    address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
}

PrivateSessionBus::~PrivateSessionBus() {
    if (daemon_.state() == QProcess::NotRunning) return;
    daemon_.kill();
    daemon_.waitForFinished(5000);
}
