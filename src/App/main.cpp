#include "Models/AppRelauncher.h"

#include <QApplication>
#include <QMainWindow>
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
    QMainWindow window;
    window.setWindowTitle("Quarnell");
    window.resize(1320, 880);
    window.show();
    return app.exec();
}
