#include <QCoreApplication>
#include <QTemporaryDir>

#include "Platform/SettingsStore.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    // Never touch the user's own preferences.
    QTemporaryDir settingsDir;
    SettingsStore::shared().useFile(settingsDir.filePath("settings.conf"));
    return RUN_ALL_TESTS();
}
