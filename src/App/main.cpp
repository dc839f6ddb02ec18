#include "App/QuarnellApp.h"
#include "App/QuitDeadline.h"
#include "App/SingleInstance.h"
#include "Models/AppRelauncher.h"
#include "Platform/OpenFileLimit.h"
#include "Views/Common/IconTheme.h"

#include <QApplication>
#include <QProcess>

int main(int argc, char* argv[]) {
    OpenFileLimit::raiseToHard();
    QApplication app(argc, argv);
    QuitDeadline::install();
    QApplication::setApplicationName("Quarnell");
    QApplication::setOrganizationName("Quarnell");
    // Before any widget asks Qt for an icon, so that Qt's loader never reads the user's icon folders.
    IconTheme::prepare();

    SingleInstance instance(QDBusConnection::sessionBus());
    if (!instance.claim(QApplication::arguments().contains(SingleInstance::takeOverArgument)) &&
        SingleInstance::activateRunning(QDBusConnection::sessionBus()))
        return 0;

    AppRelauncher::setHooks({
        [] { return QProcess::startDetached(QApplication::applicationFilePath(), {SingleInstance::takeOverArgument}); },
        [] { QApplication::beep(); },
        [] { QApplication::quit(); },
    });
    QuarnellApp quarnell;
    instance.onActivate([&quarnell] { quarnell.showMainWindow(); });
    quarnell.showMainWindow();
    return app.exec();
}
