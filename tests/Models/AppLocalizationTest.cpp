#include "Models/AppLocalization.h"
#include "Platform/SettingsStore.h"
#include "Support/TempTree.h"

#include <QDirIterator>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

class AppLocalizationTest : public ::testing::Test {
protected:
    void SetUp() override {
        tree.write("en/a.json", R"({"hello": "Hello", "freeOf": "free of {0}", "items": "{0, plural, one {# item} other {# items}}"})");
        tree.write("ar/a.json", R"({"hello": "مرحبا", "freeOf": "متاح من {0}", "items": "{0, plural, zero {لا عناصر} one {عنصر واحد} two {عنصران} few {# عناصر} many {# عنصرًا} other {# عنصر}}"})");
        AppLocalization::setTableFolder(QString::fromStdString(tree.path().string()));
    }
    void TearDown() override {
        SettingsStore::shared().remove("appLanguage");
        AppLocalization::setTableFolder(":/i18n");
    }
    TempTree tree;
};

}  // namespace

TEST_F(AppLocalizationTest, PreferenceIsReadAtEveryCall) {
    SettingsStore::shared().remove("appLanguage");
    EXPECT_EQ(AppLocalization::selectedLanguage(), AppLanguage::system);
    SettingsStore::shared().setValue("appLanguage", "ar");
    EXPECT_EQ(AppLocalization::string("hello"), "مرحبا");
    SettingsStore::shared().setValue("appLanguage", "en");
    EXPECT_EQ(AppLocalization::string("hello"), "Hello");
    SettingsStore::shared().setValue("appLanguage", "EN");
    EXPECT_EQ(AppLocalization::selectedLanguage(), AppLanguage::system);
    SettingsStore::shared().setValue("appLanguage", "fr");
    EXPECT_EQ(AppLocalization::selectedLanguage(), AppLanguage::system);
}

TEST_F(AppLocalizationTest, MissingKeysAndTablesFallBack) {
    SettingsStore::shared().setValue("appLanguage", "ar");
    EXPECT_EQ(AppLocalization::string("no.such.Key"), "no.such.Key");
    std::filesystem::remove_all(tree.path() / "ar");
    AppLocalization::setTableFolder(QString::fromStdString(tree.path().string()));
    EXPECT_EQ(AppLocalization::activeLocale().language(), QLocale::Arabic);
    // Without an Arabic table the system's pick is used; this machine's languages include no Arabic table now.
    EXPECT_EQ(AppLocalization::string("hello"), "Hello");
}

TEST_F(AppLocalizationTest, MessagesUseActiveLocaleAndPluralForms) {
    SettingsStore::shared().setValue("appLanguage", "en");
    EXPECT_EQ(AppLocalization::format("items", {1}), "1 item");
    EXPECT_EQ(AppLocalization::format("items", {1200}), "1,200 items");
    SettingsStore::shared().setValue("appLanguage", "ar");
    EXPECT_EQ(AppLocalization::format("items", {2}), "عنصران");
    EXPECT_EQ(AppLocalization::format("items", {3}), QString::fromUtf8("٣ عناصر"));
    EXPECT_EQ(AppLocalization::format("items", {11}), QString::fromUtf8("١١ عنصرًا"));
    EXPECT_EQ(AppLocalization::format("hello", {}), "مرحبا");
}

TEST(AppLocalizationDirection, RightToLeftRule) {
    EXPECT_TRUE(AppLocalization::isRightToLeft(AppLanguage::arabic));
    EXPECT_FALSE(AppLocalization::isRightToLeft(AppLanguage::english));
    EXPECT_EQ(AppLocalization::isRightToLeft(AppLanguage::system), QLocale(QLocale::system().language()).textDirection() == Qt::RightToLeft);
    EXPECT_EQ(AppLocalization::locale(AppLanguage::english).language(), QLocale::English);
}

// Every key the code names must have an English and an Arabic text, so no screen shows a raw key.
TEST(AppLocalizationTables, EveryKeyInTheCodeHasBothTexts) {
    auto loadTable = [](const QString& language) {
        QJsonObject merged;
        QDirIterator files(QString(QUARNELL_SOURCE_DIR) + "/resources/i18n/" + language, {"*.json"}, QDir::Files);
        while (files.hasNext()) {
            QFile file(files.next());
            EXPECT_TRUE(file.open(QIODevice::ReadOnly));
            QJsonParseError error;
            QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
            EXPECT_EQ(error.error, QJsonParseError::NoError) << file.fileName().toStdString() << ": " << error.errorString().toStdString();
            const QJsonObject object = document.object();
            for (auto it = object.begin(); it != object.end(); ++it) {
                EXPECT_FALSE(merged.contains(it.key())) << "key twice: " << it.key().toStdString();
                merged.insert(it.key(), it.value());
            }
        }
        return merged;
    };
    const QJsonObject english = loadTable("en"), arabic = loadTable("ar");

    static const QRegularExpression use(R"re(\b(?:string|format|textKey)\(\s*(?:QStringLiteral\()?"([a-z][A-Za-z0-9]*(?:\.[A-Za-z0-9]+)+)")re");
    QDirIterator sources(QString(QUARNELL_SOURCE_DIR) + "/src", {"*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories);
    int keys = 0;
    while (sources.hasNext()) {
        QFile file(sources.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        for (auto match = use.globalMatch(text); match.hasNext();) {
            const QString key = match.next().captured(1);
            ++keys;
            EXPECT_TRUE(english.contains(key)) << "no English text for " << key.toStdString() << " in " << file.fileName().toStdString();
            EXPECT_TRUE(arabic.contains(key)) << "no Arabic text for " << key.toStdString() << " in " << file.fileName().toStdString();
        }
    }
    EXPECT_GT(keys, 0);
}

// A value placed into a sentence is isolated in its own direction.
TEST_F(AppLocalizationTest, ValuesInASentenceAreIsolated) {
    SettingsStore::shared().setValue("appLanguage", "en");
    EXPECT_EQ(AppLocalization::format("freeOf", {QStringLiteral("1 GB")}), QString::fromUtf8("free of \u20661 GB\u2069"));
    EXPECT_EQ(AppLocalization::format("freeOf", {QString::fromUtf8("مجلد")}), QString::fromUtf8("free of \u2067مجلد\u2069"));
}
