#include "Models/AppRelauncher.h"

#include "Platform/SettingsStore.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QProcess>

namespace AppRelauncher {
namespace {

Hooks& hooks() {
    static Hooks installed{
        [] {
            QStringList arguments = QCoreApplication::arguments();
            if (!arguments.isEmpty()) arguments.removeFirst();
            return QProcess::startDetached(QCoreApplication::applicationFilePath(), arguments);
        },
        [] {},
        [] { QCoreApplication::quit(); },
    };
    return installed;
}

bool relaunched = false;

}  // namespace

void relaunch() {
    // Two language pickers can be on screen at once; one change must never start two instances.
    if (relaunched) return;
    // The new instance reads the language from the settings file: one not stored there would be
    // lost with this instance, unsaid. This one keeps it and runs on, as when no instance starts.
    if (!SettingsStore::shared().storesEveryChange()) {
        hooks().beep();
        return;
    }
    relaunched = true;
    if (hooks().startNewInstance()) {
        QMetaObject::invokeMethod(QCoreApplication::instance(), [] { hooks().quit(); }, Qt::QueuedConnection);
    } else {
        relaunched = false;  // the user may try again
        hooks().beep();
    }
}

void setHooks(Hooks newHooks) {
    hooks() = std::move(newHooks);
    relaunched = false;
}

}  // namespace AppRelauncher
