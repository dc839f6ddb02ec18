#include <QApplication>
#include <QTemporaryDir>

#include "Platform/SettingsStore.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir settingsDir;
    SettingsStore::shared().useFile(settingsDir.filePath("settings.conf"));
    return RUN_ALL_TESTS();
}
