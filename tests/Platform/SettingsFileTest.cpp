#include "Platform/SettingsFile.h"
#include "Support/TempTree.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void overwrite(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// A settings file as the app leaves it: a year of history between ordinary keys.
QString writtenSettings(const TempTree& tree) {
    const QString path = QString::fromStdString((tree.path() / "config/Quarnell.conf").string());
    QJsonArray history;
    for (int day = 0; day < 365; ++day) history.append(QJsonObject{{"id", QString::number(day)}, {"usedBytes", day * 1000}});
    SettingsFile(path).update([&](QVariantMap& values) {
        values.insert("appAppearance", "dark");
        values.insert("storageHistory.v1", QJsonDocument(history).toJson(QJsonDocument::Compact));
        values.insert("scanRootBookmark", QByteArray("/home/u\xff\"odd\"\n", 14));
        values.insert("zzLast", "kept");
        return true;
    });
    return path;
}

QStringList damagedCopies(const QString& path) {
    return QDir(QFileInfo(path).absolutePath()).entryList({QFileInfo(path).fileName() + ".damaged-*"}, QDir::Files);
}

}  // namespace

TEST(SettingsFile, AFileWrittenByTheStoreReadsBackCleanly) {
    TempTree tree;
    const QString path = writtenSettings(tree);
    SettingsFile file(path);
    const QVariantMap values = file.loadKeepingDamageAside();
    EXPECT_FALSE(file.damagedCopy());
    EXPECT_EQ(values.value("zzLast").toString(), "kept");
    EXPECT_EQ(values.value("scanRootBookmark").toByteArray(), QByteArray("/home/u\xff\"odd\"\n", 14));
    EXPECT_EQ(QJsonDocument::fromJson(values.value("storageHistory.v1").toByteArray()).array().size(), 365);
    EXPECT_TRUE(damagedCopies(path).isEmpty());
    // Written whole through a synced temporary file: nothing of it is left beside.
    EXPECT_EQ(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files), (QStringList{"Quarnell.conf", "Quarnell.conf.lock-writers"}));
}

// Zeroed bytes, random bytes in front and an unclosed quote all read "without error" or lose keys:
// the file is kept aside whole before anything is written, and what could be read stays.
TEST(SettingsFile, DamagedFilesAreCopiedAsideWholeBeforeAnythingIsWritten) {
    std::mt19937 generator(21);
    QByteArray noise(100 * 1024, '\0');
    for (char& byte : noise) byte = char(generator());
    const std::vector<std::pair<const char*, std::function<QByteArray(QByteArray)>>> damages{
        {"zeroed head", [](QByteArray bytes) { return bytes.replace(0, 4096, QByteArray(4096, '\0')); }},
        {"noise in front", [&](QByteArray bytes) { return noise + bytes; }},
        {"unclosed quote", [](QByteArray bytes) { return bytes.replace("appAppearance=dark", "appAppearance=\"dark"); }},
    };
    for (const auto& [name, damage] : damages) {
        SCOPED_TRACE(name);
        TempTree tree;
        const QString path = writtenSettings(tree);
        const QByteArray damaged = damage(bytesOf(path));
        overwrite(path, damaged);

        SettingsFile file(path);
        const QVariantMap values = file.loadKeepingDamageAside();
        ASSERT_TRUE(file.damagedCopy());
        EXPECT_EQ(bytesOf(*file.damagedCopy()), damaged);
        EXPECT_EQ(damagedCopies(path).size(), 1);
        // Only the damaged lines are lost: a zeroed head takes the keys before the history's end.
        const bool zeroed = std::string(name) == "zeroed head";
        EXPECT_EQ(values.value("zzLast").toString(), "kept");
        EXPECT_EQ(values.contains("scanRootBookmark"), !zeroed);
        EXPECT_EQ(QJsonDocument::fromJson(values.value("storageHistory.v1").toByteArray()).array().size(), zeroed ? 0 : 365);

        // What could be read was written back cleanly: the next launch keeps no second copy.
        SettingsFile next(path);
        EXPECT_EQ(next.loadKeepingDamageAside(), values);
        EXPECT_FALSE(next.damagedCopy());
        EXPECT_EQ(damagedCopies(path).size(), 1);
    }
}

// Each writer appends to a list it reads afresh under the lock: nothing is lost between processes.
TEST(SettingsFile, WritersInSeveralProcessesLoseNothing) {
    TempTree tree;
    const QString path = QString::fromStdString((tree.path() / "shared.conf").string());
    auto appendMany = [&](const QString& writer) {
        for (int i = 0; i < 15; ++i) {
            SettingsFile(path).update([&](QVariantMap& values) {
                QJsonArray list = QJsonDocument::fromJson(values.value("list").toByteArray()).array();
                list.append(writer + QString::number(i));
                values.insert("list", QJsonDocument(list).toJson(QJsonDocument::Compact));
                values.insert(writer, i);
                return true;
            });
        }
    };
    std::vector<pid_t> children;
    for (const char* writer : {"a", "b", "c"}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            appendMany(writer);
            ::_exit(0);
        }
        children.push_back(child);
    }
    appendMany("parent");
    for (pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    SettingsFile file(path);
    const QVariantMap values = file.loadKeepingDamageAside();
    EXPECT_FALSE(file.damagedCopy());
    EXPECT_EQ(QJsonDocument::fromJson(values.value("list").toByteArray()).array().size(), 60);
    for (const char* writer : {"a", "b", "c", "parent"}) EXPECT_EQ(values.value(writer).toInt(), 14) << writer;
}
