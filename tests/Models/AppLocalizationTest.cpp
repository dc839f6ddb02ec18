#include "Models/AppLocalization.h"
#include "Platform/SettingsStore.h"
#include "Support/TempTree.h"

#include <QDirIterator>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <map>
#include <string_view>
#include <vector>

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

// A select chooses by the value itself; the sentence still gets the value as an isolated run.
TEST_F(AppLocalizationTest, SelectSeesTheValueAndTheSentenceTheIsolatedValue) {
    tree.write("en/b.json", R"({"files": "{0, select, 1 {1 file} other {{0} files}}", "twice": "{0} of {0}"})");
    AppLocalization::setTableFolder(QString::fromStdString(tree.path().string()));
    SettingsStore::shared().setValue("appLanguage", "en");
    EXPECT_EQ(AppLocalization::format("files", {QStringLiteral("1")}), "1 file");
    EXPECT_EQ(AppLocalization::format("files", {QStringLiteral("1,024")}), QString::fromUtf8("\u20661,024\u2069 files"));
    EXPECT_EQ(AppLocalization::format("twice", {QStringLiteral("a")}), QString::fromUtf8("\u2066a\u2069 of \u2066a\u2069"));
    // A value that is one isolated run already is not wrapped a second time.
    EXPECT_EQ(AppLocalization::format("freeOf", {QString::fromUtf8("\u2066/home\u2069")}), QString::fromUtf8("free of \u2066/home\u2069"));
    // Controls inside a value that would reorder the sentence around it are shown, not obeyed.
    EXPECT_EQ(AppLocalization::format("freeOf", {QString::fromUtf8("qq \u202Etxt.exe")}), QString::fromUtf8("free of \u2066qq [U+202E]txt.exe\u2069"));
}

namespace {

// The merged texts of one language as the app ships them.
QJsonObject shippedTable(const QString& language) {
    QJsonObject merged;
    QDirIterator files(QString(QUARNELL_SOURCE_DIR) + "/resources/i18n/" + language, {"*.json"}, QDir::Files);
    while (files.hasNext()) {
        QFile file(files.next());
        if (!file.open(QIODevice::ReadOnly)) continue;
        const QJsonObject object = QJsonDocument::fromJson(file.readAll()).object();
        for (auto it = object.begin(); it != object.end(); ++it) merged.insert(it.key(), it.value());
    }
    return merged;
}

}  // namespace

// Every counted text of both languages, for counts that reach each of its forms: English "1 file"
// and "2 files", the six Arabic forms (zero, one, two, few, many, other) each its own text.
TEST(AppLocalizationTables, EveryPluralAndSelectReachesEachOfItsForms) {
    struct Language {
        const char* code;
        std::vector<long long> counts;  // one count per plural form of the language
    };
    static const QRegularExpression argument(R"(\{(\d+)(?:\s*,\s*(plural|select|number))?)");
    int checked = 0;
    for (const Language& language : {Language{"en", {1, 2}}, Language{"ar", {0, 1, 2, 3, 11, 100}}}) {
        SettingsStore::shared().setValue("appLanguage", language.code);
        const QJsonObject table = shippedTable(language.code);
        for (auto it = table.begin(); it != table.end(); ++it) {
            const QString pattern = it->toString();
            if (!pattern.contains(QLatin1String(", plural")) && !pattern.contains(QLatin1String(", select"))) continue;
            // Which argument is counted, and what the others are.
            std::map<int, QString> kinds;
            for (auto match = argument.globalMatch(pattern); match.hasNext();) {
                const auto found = match.next();
                QString& kind = kinds[found.captured(1).toInt()];
                if (kind.isEmpty() || !found.captured(2).isEmpty()) kind = found.captured(2);
            }
            for (long long count : language.counts) {
                std::vector<MessageArgument> values;
                for (const auto& [index, kind] : kinds) {
                    while (int(values.size()) < index) values.emplace_back(QStringLiteral("x"));
                    if (kind == "plural") values.emplace_back(count);
                    else if (kind == "select") values.emplace_back(QString::number(count));
                    else if (kind == "number") values.emplace_back(7);
                    else values.emplace_back(QStringLiteral("x"));
                }
                QString text;
                switch (values.size()) {
                case 1: text = AppLocalization::format(it.key(), {values[0]}); break;
                case 2: text = AppLocalization::format(it.key(), {values[0], values[1]}); break;
                case 3: text = AppLocalization::format(it.key(), {values[0], values[1], values[2]}); break;
                case 4: text = AppLocalization::format(it.key(), {values[0], values[1], values[2], values[3]}); break;
                default: ADD_FAILURE() << it.key().toStdString() << " takes " << values.size() << " values";
                }
                EXPECT_NE(text, pattern) << it.key().toStdString() << " does not format";
                // One of a thing is never "1 things".
                static const QRegularExpression oneThings(QStringLiteral("(^|[^0-9,.])1 [a-z]*[^s ]s\\b"));
                if (count == 1) {
                    EXPECT_FALSE(QString(text).remove(QRegularExpression(QStringLiteral("[\u2066-\u2069]"))).contains(oneThings)) << text.toStdString();
                }
            }
            // Each plural names every form of its language, so every one can be reached.
            static const QRegularExpression plural(QStringLiteral(", plural,((?:[^{}]|\\{[^{}]*\\})*)"));
            for (auto match = plural.globalMatch(pattern); match.hasNext();) {
                const QString branches = match.next().captured(1);
                for (const char* form : std::string_view(language.code) == "ar" ? std::vector<const char*>{"zero", "one", "two", "few", "many", "other"}
                                                                               : std::vector<const char*>{"one", "other"})
                    EXPECT_TRUE(branches.contains(QRegularExpression(QStringLiteral("\\b%1\\s*\\{").arg(form))))
                        << language.code << " " << it.key().toStdString() << " lacks " << form;
            }
            ++checked;
        }
    }
    SettingsStore::shared().remove("appLanguage");
    EXPECT_GT(checked, 20);
}

// Arabic texts write their own figures in the digits the values take: Arabic-Indic.
TEST(AppLocalizationTables, ArabicTextsUseArabicIndicDigits) {
    const QJsonObject arabic = shippedTable("ar");
    static const QRegularExpression placeholder(QStringLiteral("\\{\\d+"));
    for (auto it = arabic.begin(); it != arabic.end(); ++it)
        EXPECT_FALSE(it->toString().remove(placeholder).contains(QRegularExpression(QStringLiteral("[0-9]")))) << it.key().toStdString();
}
