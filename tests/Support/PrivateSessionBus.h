#pragma once

#include <QProcess>
#include <QString>

// A dbus-daemon of the test's own, ended with it. `address()` is empty when none could be started.
class PrivateSessionBus {
public:
    PrivateSessionBus();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    static bool isInstalled();
    const QString& address() const { return address_; }

private:
    QProcess daemon_;
    QString address_;
};
