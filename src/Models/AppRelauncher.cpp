#include "Models/AppRelauncher.h"


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
