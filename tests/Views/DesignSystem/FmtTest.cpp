#include "Platform/SettingsStore.h"
#include "Views/DesignSystem/Fmt.h"

#include <gtest/gtest.h>

namespace {

const QLocale english(QLocale::English, QLocale::UnitedStates);

}  // namespace

TEST(Fmt, HalvesRoundToEven) {
    EXPECT_EQ(Fmt::percent(0.125, english), "12%");
    EXPECT_EQ(Fmt::percent(0.135, english), "14%");
    EXPECT_EQ(Fmt::percent(0.126, english), "13%");
    EXPECT_EQ(Fmt::percent(-0.125, english), "-12%");
    // The decimal text decides, not the nearest binary double (0.155 is stored as 0.15499…).
    EXPECT_EQ(Fmt::percent(0.155, english), "16%");
    EXPECT_EQ(Fmt::finePercent(0.4225, english), "42.2%");
    EXPECT_EQ(Fmt::finePercent(0.4235, english), "42.4%");
    EXPECT_EQ(Fmt::finePercent(0.42351, english), "42.4%");
}

TEST(Fmt, WholeRangeWithoutClamping) {
    EXPECT_EQ(Fmt::percent(0, english), "0%");
    EXPECT_EQ(Fmt::percent(0.42, english), "42%");
    EXPECT_EQ(Fmt::percent(1.0, english), "100%");
    EXPECT_EQ(Fmt::percent(1.25, english), "125%");
    EXPECT_EQ(Fmt::percent(123.4, english), "12,340%");
    EXPECT_EQ(Fmt::finePercent(0, english), "0.0%");
    EXPECT_EQ(Fmt::finePercent(1, english), "100.0%");
}

TEST(Fmt, RegionalFormats) {
    EXPECT_EQ(Fmt::percent(0.5, QLocale(QLocale::German, QLocale::Germany)), QString::fromUtf8("50\u00A0%"));
    EXPECT_TRUE(Fmt::finePercent(0.125, QLocale(QLocale::French, QLocale::France)).startsWith("12,5"));
    // Egyptian Arabic writes Arabic-Indic digits.
    const QString arabic = Fmt::percent(0.5, QLocale(QLocale::Arabic, QLocale::Egypt));
    EXPECT_TRUE(arabic.contains(QString::fromUtf8("٥٠"))) << arabic.toStdString();
    EXPECT_TRUE(arabic.contains(QString::fromUtf8("٪"))) << arabic.toStdString();
    EXPECT_EQ(Fmt::percent(0.5, QLocale::c()), "50%");
}

// The chosen language is the app's own locale: its digits, whatever the machine is set to.
TEST(Fmt, FollowsTheChosenLanguage) {
    SettingsStore::shared().setValue("appLanguage", "ar");
    EXPECT_EQ(Fmt::percent(0.5), Fmt::percent(0.5, QLocale(QStringLiteral("ar"))));
    EXPECT_TRUE(Fmt::finePercent(0.4237).contains(QChar(0x0664)));  // Arabic-Indic four
    SettingsStore::shared().remove("appLanguage");
}
