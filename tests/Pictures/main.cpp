// Renders every registered screen and state to PNG files for looking at: quarnell-pictures OUTDIR [SCREEN...]
#include "Pictures/PictureRegistry.h"

#include "Platform/SettingsStore.h"
#include "Views/Common/IconTheme.h"

#include <QApplication>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: quarnell-pictures OUTDIR [SCREEN...]\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // As the app does: the icon folders are the machine's, whichever fixture a screen installs first.
    IconTheme::prepare();
    QTemporaryDir settingsDir;
    SettingsStore::shared().useFile(settingsDir.filePath("settings.conf"));

    const QString outPath = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(outPath)) {
        std::fprintf(stderr, "quarnell-pictures: cannot create %s\n", argv[1]);
        return 1;
    }
    QStringList wanted;
    for (int i = 2; i < argc; ++i) wanted << QString::fromLocal8Bit(argv[i]);

    PictureContext pictures{QDir(outPath)};
    int screens = 0;
    for (const PictureRegistration::Entry& entry : PictureRegistration::all()) {
        if (!wanted.isEmpty() && !wanted.contains(entry.screen)) continue;
        entry.draw(pictures);
        ++screens;
    }
    for (const QString& file : pictures.written()) std::printf("%s\n", qPrintable(file));
    std::fprintf(stderr, "%d screens, %zu pictures in %s\n", screens, pictures.written().size(), argv[1]);
    return screens == 0 ? 1 : 0;
}
