#include "App/QuarnellApp.h"
#include "Models/AppRelauncher.h"

#include <QApplication>
#include <QProcess>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Quarnell");
    QApplication::setOrganizationName("Quarnell");
    AppRelauncher::setHooks({
        [] { return QProcess::startDetached(QApplication::applicationFilePath(), {}); },
        [] { QApplication::beep(); },
        [] { QApplication::quit(); },
    });
    QuarnellApp quarnell;
    quarnell.showMainWindow();
    return app.exec();
}
