#include "Platform/PrivacySettings.h"

#include <gtest/gtest.h>

TEST(PrivacySettings, StartsTheFirstKnownProgramFoundAndNothingWhenNoneIs) {
    QStringList started;
    auto start = [&](const QString& path, const QStringList& arguments) {
        started << path + " " + arguments.join(' ');
        return true;
    };
    auto only = [](QString name) { return [name](const QString& candidate) { return candidate == name ? "/usr/bin/" + name : QString(); }; };

    EXPECT_TRUE(PrivacySettings::open(only("cinnamon-settings"), start));
    EXPECT_EQ(started, QStringList{"/usr/bin/cinnamon-settings privacy"});

    started.clear();
    EXPECT_TRUE(PrivacySettings::open([](const QString& name) { return "/opt/" + name; }, start));
    EXPECT_EQ(started, QStringList{"/opt/gnome-control-center privacy"});  // GNOME first

    started.clear();
    EXPECT_FALSE(PrivacySettings::open([](const QString&) { return QString(); }, start));
    EXPECT_TRUE(started.isEmpty());

    EXPECT_FALSE(PrivacySettings::available([](const QString&) { return QString(); }));
    EXPECT_TRUE(PrivacySettings::available(only("budgie-control-center")));
}
