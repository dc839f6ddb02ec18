#include "Platform/SettingsFile.h"
#include "Platform/SettingsStore.h"
#include "Platform/SettingsText.h"
#include "Support/FifoWatch.h"
#include "Support/ForkedChild.h"
#include "Support/TempTree.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QTemporaryDir>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
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
        ::chmod(QFile::encodeName(path).constData(), 0600);

        SettingsFile file(path);
        const QVariantMap values = file.loadKeepingDamageAside();
        ASSERT_TRUE(file.damagedCopy());
        EXPECT_EQ(bytesOf(*file.damagedCopy()), damaged);
        struct stat copy {};
        ASSERT_EQ(::stat(QFile::encodeName(*file.damagedCopy()).constData(), &copy), 0);
        EXPECT_EQ(copy.st_mode & 07777, 0600u);  // as private as the file it keeps
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

namespace {

// A value of `depth` one-element lists nested in each other, as Qt's INI writer escapes it, or,
// with `disguised`, in the other spellings Qt's reader accepts for the same bytes.
QByteArray nestedLists(int depth, bool disguised) {
    const QByteArray plain = "\\0\\0\\0\\t\\0\\0\\0\\x1";
    const QByteArray other = "\\x0\\000\"\\0\" \\11\\0\\x0\\0\\1";
    QByteArray value = "@Variant(";
    value.reserve(depth * other.size() + 64);
    for (int level = 0; level < depth; ++level) value += disguised && level % 2 ? other : plain;
    return value + "\\0\\0\\0\\x2\\0\\0\\0\\x5)";
}

QString settingsPath(const TempTree& tree) {
    return QString::fromStdString((tree.path() / "config/Quarnell.conf").string());
}

}  // namespace

// 200,000 nested lists overflow the stack inside Qt's reader: such a file is damage like any other,
// copied aside whole before the rest is read and written back. A few levels stay a value.
TEST(SettingsFile, ANestedValueTooDeepForTheReaderIsDamage) {
    for (const bool disguised : {false, true}) {
        SCOPED_TRACE(disguised ? "disguised escapes" : "as Qt writes it");
        TempTree tree;
        const QString path = writtenSettings(tree);
        const QByteArray damaged = bytesOf(path).replace("appAppearance=dark", "appAppearance=dark\ndeep=" + nestedLists(200'000, disguised));
        ASSERT_GT(damaged.size(), 3'000'000);
        overwrite(path, damaged);

        SettingsFile file(path);
        const QVariantMap values = file.loadKeepingDamageAside();
        ASSERT_TRUE(file.damagedCopy());
        EXPECT_EQ(bytesOf(*file.damagedCopy()), damaged);
        EXPECT_FALSE(values.contains("deep"));
        EXPECT_EQ(values.value("appAppearance").toString(), "dark");
        EXPECT_EQ(values.value("zzLast").toString(), "kept");
        EXPECT_EQ(QJsonDocument::fromJson(values.value("storageHistory.v1").toByteArray()).array().size(), 365);
        SettingsFile next(path);
        EXPECT_EQ(next.loadKeepingDamageAside(), values);
        EXPECT_FALSE(next.damagedCopy());
    }
    TempTree tree;
    const QString path = settingsPath(tree);
    QDir().mkpath(QFileInfo(path).absolutePath());
    overwrite(path, "[General]\nshallow=" + nestedLists(3, true) + "\n");
    SettingsFile file(path);
    const QVariantMap values = file.loadKeepingDamageAside();
    EXPECT_EQ(values.value("shallow"), QVariant(QVariantList{QVariantList{QVariantList{5}}}));
}

// Written by hand: keys in another order, a comment, blank lines, a group of its own. Nothing is
// lost, so nothing is copied aside and the file stays as it is.
TEST(SettingsFile, AFileWrittenInAnotherOrderIsNoDamage) {
    TempTree tree;
    const QString path = settingsPath(tree);
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QByteArray handWritten = "; mine\n[General]\nzzLast=kept\r\nappLanguage=ar\n\nappAppearance=dark\n[window]\nwidth=1320\nheight=880\n";
    overwrite(path, handWritten);
    SettingsFile file(path);
    const QVariantMap values = file.loadKeepingDamageAside();
    EXPECT_FALSE(file.damagedCopy());
    EXPECT_EQ(values, (QVariantMap{{"zzLast", "kept"}, {"appLanguage", "ar"}, {"appAppearance", "dark"}, {"window/width", "1320"}, {"window/height", "880"}}));
    EXPECT_EQ(bytesOf(path), handWritten);
    EXPECT_TRUE(damagedCopies(path).isEmpty());
}

// "Cannot read" is not "empty": after a failed read nothing is written, so the history, the scan
// folder and the language survive a preference change. A FIFO never holds the caller, and a link
// stays a link.
TEST(SettingsFile, AFileThatCannotBeReadIsNeverWritten) {
    {
        SCOPED_TRACE("a link to nothing");
        TempTree tree;
        const QString path = settingsPath(tree);
        QDir().mkpath(QFileInfo(path).absolutePath());
        fs::create_symlink(tree.path() / "elsewhere/Quarnell.conf", path.toStdString());
        SettingsFile file(path);
        EXPECT_TRUE(file.loadKeepingDamageAside().isEmpty());
        EXPECT_EQ(file.readFailure(), (SettingsFile::ReadFailure{SettingsFile::ReadFailure::Kind::danglingLink, 0}));
        EXPECT_FALSE(file.update([](QVariantMap& values) { return values.insert("appLanguage", "ar"), true; }));
        EXPECT_TRUE(fs::is_symlink(path.toStdString()));
        EXPECT_FALSE(fs::exists(tree.path() / "elsewhere"));
    }
    {
        SCOPED_TRACE("a FIFO");
        TempTree tree;
        const QString path = settingsPath(tree);
        QDir().mkpath(QFileInfo(path).absolutePath());
        ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        FifoWatch watch(path.toStdString());
        SettingsFile file(path);
        EXPECT_TRUE(file.loadKeepingDamageAside().isEmpty());
        EXPECT_FALSE(file.update([](QVariantMap& values) { return values.insert("appLanguage", "ar"), true; }));
        EXPECT_FALSE(watch.waited()) << "reading the settings waited on the FIFO";
        EXPECT_EQ(file.readFailure(), (SettingsFile::ReadFailure{SettingsFile::ReadFailure::Kind::notRegularFile, 0}));
        struct stat info {};
        EXPECT_TRUE(::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISFIFO(info.st_mode));
    }
    {
        SCOPED_TRACE("a link to the real file");
        TempTree tree;
        const QString path = settingsPath(tree);
        const fs::path real = tree.path() / "dotfiles/Quarnell.conf";
        fs::create_directories(real.parent_path());
        overwrite(QString::fromStdString(real.string()), "[General]\nappLanguage=ar\n");
        QDir().mkpath(QFileInfo(path).absolutePath());
        fs::create_symlink(real, path.toStdString());
        SettingsFile file(path);
        EXPECT_EQ(file.loadKeepingDamageAside().value("appLanguage").toString(), "ar");
        ASSERT_TRUE(file.update([](QVariantMap& values) { return values.insert("appAppearance", "dark"), true; }));
        EXPECT_TRUE(fs::is_symlink(path.toStdString()));
        EXPECT_EQ(bytesOf(QString::fromStdString(real.string())), "[General]\nappAppearance=dark\nappLanguage=ar\n");
    }
    if (!ForkedChild::isRoot()) GTEST_SKIP() << "needs root to read as another user";
    SCOPED_TRACE("a file its reader may not read");
    TempTree tree;
    const QString path = writtenSettings(tree);
    const QByteArray before = bytesOf(path);
    // The folder is the reader's to write in, as the user's own config folder is; the file is not readable.
    fs::permissions(tree.path(), fs::perms::all);
    fs::permissions(tree.path() / "config", fs::perms::all);
    fs::permissions(path.toStdString(), fs::perms::owner_read | fs::perms::owner_write);
    const std::string failures = ForkedChild::runAsNobody([&] {
        std::string notes;
        SettingsFile file(path);
        ForkedChild::check(notes, file.loadKeepingDamageAside().isEmpty(), "values read from an unreadable file");
        ForkedChild::check(notes, file.readFailure() == SettingsFile::ReadFailure{SettingsFile::ReadFailure::Kind::systemError, EACCES}, "no EACCES");
        const auto after = file.update([](QVariantMap& values) { return values.insert("appLanguage", "ar"), true; });
        ForkedChild::check(notes, !after, "a change claimed to be stored");
        return notes;
    });
    EXPECT_EQ(failures, "");
    EXPECT_EQ(bytesOf(path), before);
    EXPECT_TRUE(damagedCopies(path).isEmpty());
}

// A hand-written file of any size opens quickly: its lines are judged in one pass and read by Qt in
// one piece. A file past what a settings file holds, in lines or in bytes, is damage: kept aside
// whole (a second name for a huge one) and read only so far.
TEST(SettingsFile, AFileLargerThanASettingsFileIsKeptAsideAndReadOnlySoFar) {
    {
        SCOPED_TRACE("in another order, within the limits");
        TempTree tree;
        const QString path = settingsPath(tree);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QByteArray text = "; mine\n[General]\n";
        for (int i = 10'000; i > 0; --i) text += "key" + QByteArray::number(i) + "=\"value, " + QByteArray::number(i) + "\" ; note\n";
        overwrite(path, text);
        SettingsFile file(path);
        const QVariantMap values = file.loadKeepingDamageAside();
        EXPECT_FALSE(file.damagedCopy());
        EXPECT_EQ(values.size(), 10'000);
        EXPECT_EQ(values.value("key7").toString(), "value, 7");
        EXPECT_EQ(bytesOf(path), text);
    }
    {
        SCOPED_TRACE("more lines than the limit");
        TempTree tree;
        const QString path = settingsPath(tree);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QByteArray text = "[General]\n";
        for (int i = 1; i <= 3 * SettingsText::lineLimit; ++i) text += "key" + QByteArray::number(i) + "=" + QByteArray::number(i) + "\n";
        overwrite(path, text);
        SettingsFile file(path);
        const QVariantMap values = file.loadKeepingDamageAside();
        ASSERT_TRUE(file.damagedCopy());
        EXPECT_EQ(bytesOf(*file.damagedCopy()), text);
        EXPECT_EQ(values.size(), SettingsText::lineLimit - 1);  // the section's line counts too
        EXPECT_EQ(values.value("key1").toString(), "1");
        EXPECT_FALSE(values.contains("key" + QString::number(SettingsText::lineLimit)));
        SettingsFile next(path);
        EXPECT_EQ(next.loadKeepingDamageAside(), values);
        EXPECT_FALSE(next.damagedCopy());
    }
    SCOPED_TRACE("more bytes than the limit");
    TempTree tree;
    const QString path = settingsPath(tree);
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QByteArray text = "[General]\nfirst=1\nhuge=" + QByteArray(SettingsText::byteLimit, 'x') + "\nlast=2\n";
    overwrite(path, text);
    SettingsFile file(path);
    const QVariantMap values = file.loadKeepingDamageAside();
    ASSERT_TRUE(file.damagedCopy());
    EXPECT_EQ(bytesOf(*file.damagedCopy()), text);
    EXPECT_EQ(values, (QVariantMap{{"first", "1"}}));
    EXPECT_EQ(bytesOf(path), "[General]\nfirst=1\n");
}

// A file replaced during the run, or changed in place with its times put back, is read again at the
// next change by the rule of the start: damage is kept aside, and the change goes on top of what
// could be read, never on top of what this object read before.
TEST(SettingsFile, AFileChangedUnderTheRunIsReadAgainByTheSameRule) {
    TempTree tree;
    const QString path = writtenSettings(tree);
    SettingsFile file(path);
    file.loadKeepingDamageAside();

    QByteArray replaced = bytesOf(path).replace("appAppearance=dark", "appAppearance=\"dark").replace("zzLast=kept", "zzLast=theirs");
    const QString beside = path + ".theirs";
    overwrite(beside, replaced);
    fs::rename(beside.toStdString(), path.toStdString());
    auto values = file.update([](QVariantMap& stored) { return stored.insert("appLanguage", "ar"), true; });
    ASSERT_TRUE(values);
    ASSERT_TRUE(file.damagedCopy());
    EXPECT_EQ(bytesOf(*file.damagedCopy()), replaced);
    EXPECT_EQ(values->value("zzLast").toString(), "theirs");  // not swallowed by the open quote
    EXPECT_FALSE(values->contains("appAppearance"));
    EXPECT_EQ(QJsonDocument::fromJson(values->value("storageHistory.v1").toByteArray()).array().size(), 365);
    EXPECT_EQ(SettingsFile(path).loadKeepingDamageAside(), *values);

    // Changed in place, same length, the old times put back.
    tree.rewriteKeepingTimes(path.toStdString(), bytesOf(path).replace("zzLast=theirs", "zzLast=THEIRS").toStdString());
    values = file.update([](QVariantMap& stored) { return stored.insert("appAppearance", "light"), true; });
    ASSERT_TRUE(values);
    EXPECT_EQ(values->value("zzLast").toString(), "THEIRS");
    EXPECT_EQ(values->value("appLanguage").toString(), "ar");
    EXPECT_EQ(damagedCopies(path).size(), 1);
    SettingsFile reread(path);
    EXPECT_EQ(reread.loadKeepingDamageAside(), *values);
    EXPECT_FALSE(reread.damagedCopy());
}

// A write keeps the file's permissions, through a link too. A write that fails (here the file size
// limit, as a full disk would) leaves the old file whole and is told once; a later change that can
// be written stores the earlier one too.
TEST(SettingsFile, WritesKeepPermissionsAndAFailedWriteLeavesTheFileWhole) {
    TempTree tree;
    const QString path = settingsPath(tree);
    const fs::path real = tree.path() / "dotfiles/Quarnell.conf";
    fs::create_directories(real.parent_path());
    overwrite(QString::fromStdString(real.string()), "[General]\nappLanguage=ar\n");
    ::chmod(real.c_str(), 0644);
    QDir().mkpath(QFileInfo(path).absolutePath());
    fs::create_symlink(real, path.toStdString());
    SettingsFile linked(path);
    linked.loadKeepingDamageAside();
    ASSERT_TRUE(linked.update([](QVariantMap& values) { return values.insert("appAppearance", "dark"), true; }));
    struct stat info {};
    ASSERT_EQ(::stat(real.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0644u);
    EXPECT_TRUE(fs::is_symlink(path.toStdString()));

    TempTree other;
    const QString plain = writtenSettings(other);
    const QByteArray before = bytesOf(plain);
    ::chmod(QFile::encodeName(plain).constData(), 0640);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SettingsFile file(plain);
        file.loadKeepingDamageAside();
        const rlimit small{rlim_t(before.size() + 1024), rlim_t(before.size() + 1024)};
        ::signal(SIGXFSZ, SIG_IGN);
        bool held = ::setrlimit(RLIMIT_FSIZE, &small) == 0;
        const auto first = file.update([](QVariantMap& values) { return values.insert("big", QString(4096, 'b')), true; });
        const auto failure = file.writeFailure();
        held = held && first && first->contains("big") && failure;
        file.update([](QVariantMap& values) { return values.insert("bigger", QString(8192, 'b')), true; });
        held = held && file.writeFailure() == failure;
        ::_exit(held ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(bytesOf(plain), before);
    ASSERT_EQ(::stat(QFile::encodeName(plain).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(QDir(QFileInfo(plain).absolutePath()).entryList(QDir::Files | QDir::Hidden), (QStringList{"Quarnell.conf", "Quarnell.conf.lock-writers"}));

    // Within the limit again, the next change stores the one that could not be written.
    SettingsFile file(plain);
    file.loadKeepingDamageAside();
    const rlimit usual = [] { rlimit limit{}; ::getrlimit(RLIMIT_FSIZE, &limit); return limit; }();
    const rlimit small{rlim_t(before.size() + 1024), usual.rlim_max};
    ::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    file.update([](QVariantMap& values) { return values.insert("big", QString(4096, 'b')), true; });
    ::setrlimit(RLIMIT_FSIZE, &usual);
    ::signal(SIGXFSZ, SIG_DFL);
    EXPECT_TRUE(file.writeFailure());
    EXPECT_EQ(bytesOf(plain), before);
    file.update([](QVariantMap& values) { return values.insert("small", "s"), true; });
    const QVariantMap stored = SettingsFile(plain).loadKeepingDamageAside();
    EXPECT_EQ(stored.value("big").toString(), QString(4096, 'b'));
    EXPECT_EQ(stored.value("small").toString(), "s");
}

// A change the file cannot take is said like a failed write and held for the run: with no scratch
// folder to read the file faithfully, and with a damaged file that a full disk keeps from being
// kept aside first. The next change that can be written stores it too.
TEST(SettingsFile, AChangeThatCannotBeWrittenIsSaidAndHeld) {
    {
        SCOPED_TRACE("no scratch folder");
        TempTree tree;
        const QString path = writtenSettings(tree);
        const QByteArray before = bytesOf(path);
        const QByteArray usualTemp = qgetenv("TMPDIR");
        qputenv("TMPDIR", "/proc");  // a folder where no one can make one
        EXPECT_FALSE(QTemporaryDir().isValid());
        SettingsFile file(path);
        EXPECT_EQ(file.loadKeepingDamageAside().value("zzLast").toString(), "kept");
        const auto held = file.update([](QVariantMap& values) { return values.insert("appAppearance", "light"), true; });
        const auto failure = file.writeFailure();
        if (usualTemp.isNull()) qunsetenv("TMPDIR");
        else qputenv("TMPDIR", usualTemp);
        ASSERT_TRUE(held);
        EXPECT_EQ(held->value("appAppearance").toString(), "light");
        EXPECT_TRUE(failure);
        EXPECT_EQ(bytesOf(path), before);

        file.update([](QVariantMap& values) { return values.insert("zzLast", "changed"), true; });
        const QVariantMap stored = SettingsFile(path).loadKeepingDamageAside();
        EXPECT_EQ(stored.value("appAppearance").toString(), "light");
        EXPECT_EQ(stored.value("zzLast").toString(), "changed");
    }
    SCOPED_TRACE("a damaged file on a full disk");
    TempTree tree;
    const QString path = writtenSettings(tree);
    const QByteArray damaged = bytesOf(path) + "junk=\"" + QByteArray(100 * 1024, 'j') + "\n";
    overwrite(path, damaged);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Room for the readable part in a scratch file, none for the whole copy.
        const rlimit small{rlim_t(60 * 1024), rlim_t(60 * 1024)};
        ::signal(SIGXFSZ, SIG_IGN);
        bool held = ::setrlimit(RLIMIT_FSIZE, &small) == 0;
        SettingsFile file(path);
        held = held && file.loadKeepingDamageAside().value("zzLast").toString() == "kept" && !file.damagedCopy();
        const auto changed = file.update([](QVariantMap& values) { return values.insert("appAppearance", "light"), true; });
        held = held && changed && changed->value("appAppearance").toString() == "light" && file.writeFailure() == EFBIG;
        ::_exit(held ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(bytesOf(path), damaged);
    EXPECT_TRUE(damagedCopies(path).isEmpty());
}

// The store finds its file without opening it (a FIFO there would hold the start for good), in the
// very place QSettings keeps it.
TEST(SettingsFile, TheStoreNamesTheFileQSettingsUses) {
    EXPECT_EQ(SettingsStore::userFilePath(), QSettings(QSettings::IniFormat, QSettings::UserScope, "Quarnell", "Quarnell").fileName());
}
