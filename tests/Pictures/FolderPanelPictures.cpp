#include "Pictures/PictureRegistry.h"

#include "App/FolderPanel.h"
#include "App/QuarnellApp.h"
#include "Platform/SettingsStore.h"

#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QTemporaryDir>

#include <chrono>
#include <filesystem>

// The scan folder's panel, opened on a home with a few folders, in Qt's own texts of each language.
static const PictureRegistration folderPanel("folder-panel", [](PictureContext& pictures) {
    QTemporaryDir home;
    const QDateTime modified(QDate(2026, 12, 7), QTime(8, 10, 10));
    for (const char* name : {"Documents", "Music", "Projects 2026", "مستندات", "صور العائلة"}) {
        const QString path = QDir(home.path()).filePath(QString::fromUtf8(name));
        QDir().mkpath(path);
        std::filesystem::last_write_time(path.toStdString(), std::filesystem::file_time_type::clock::now() -
                                                                 std::chrono::seconds(modified.secsTo(QDateTime::currentDateTime())));
    }
    auto make = [&] {
        QuarnellApp::applyLanguage();  // Qt's own texts and the default locale of the look's language
        auto panel = std::make_unique<QFileDialog>();
        FolderPanel::prepare(*panel, home.path().toStdString());
        return panel;
    };
    // Pictured at the size it opens at, the larger of the two languages'.
    QSize opening;
    for (const char* language : {"en", "ar"}) {
        SettingsStore::shared().setValue("appLanguage", QString::fromLatin1(language));
        opening = opening.expandedTo(make()->size());
    }
    SettingsStore::shared().remove("appLanguage");
    pictures.render("folder-panel", opening, make);
    QuarnellApp::applyLanguage();
});
