#pragma once

#include <QDBusConnection>
#include <QObject>

#include <functional>

// One running app per session: the first launch owns a well-known name on the session bus, and a
// later launch asks it to bring its main window forward and ends. Without a session bus every
// launch runs on its own.
class SingleInstance : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.quarnell.Quarnell")
public:
    static constexpr const char* serviceName = "org.quarnell.Quarnell";
    static constexpr const char* objectPath = "/org/quarnell/Quarnell";
    // The argument a relaunch starts the new process with: it takes the name over from the
    // instance that is quitting instead of handing control back to it.
    static constexpr const char* takeOverArgument = "--take-over";

    explicit SingleInstance(QDBusConnection bus, QObject* parent = nullptr);

    // True when this process should run: it owns the name now, or there is no bus to ask.
    bool claim(bool takeOver);
    // Asks the running instance to show its main window; false when none answered.
    static bool activateRunning(QDBusConnection bus);

    // What a later launch's request does here.
    void onActivate(std::function<void()> activate) { activate_ = std::move(activate); }

public slots:
    Q_SCRIPTABLE void Activate();

private:
    QDBusConnection bus_;
    std::function<void()> activate_;
};
