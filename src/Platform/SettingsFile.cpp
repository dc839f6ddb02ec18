#include "Platform/SettingsFile.h"

#include "Platform/FileContents.h"
#include "Platform/SettingsNesting.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>

namespace {

// QSettings reads and writes files only, and caches what it read by name: each text gets a file
// of its own name in a private folder.
QString scratchFile(const QTemporaryDir& folder) {
    static std::atomic<int> counter = 0;
    return folder.filePath(QString::number(counter++) + ".conf");
}

}  // namespace

SettingsFile::SettingsFile(QString path) : path_(std::move(path)) {}

SettingsFile::WriterLock::WriterLock(const QString& settingsPath) {
    QDir().mkpath(QFileInfo(settingsPath).absolutePath());
    fd_ = ::open(QFile::encodeName(settingsPath + ".lock-writers").constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ >= 0)
        while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {}
}

SettingsFile::WriterLock::~WriterLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

std::optional<SettingsFile::Parsed> SettingsFile::parse(const QByteArray& bytes, bool checkClean) {
    Parsed parsed;
    if (bytes.isEmpty()) {
        parsed.clean = true;
        return parsed;
    }
    if (SettingsNesting::mayNestTooDeep(bytes)) {
        parsed.tooDeep = true;
        return parsed;
    }
    QTemporaryDir folder;
    const QString file = scratchFile(folder);
    QFile scratch(file);
    if (!folder.isValid() || !scratch.open(QIODevice::WriteOnly) || scratch.write(bytes) != bytes.size() || !scratch.flush()) return std::nullopt;
    scratch.close();
    bool readWithoutError = false;
    {
        QSettings reader(file, QSettings::IniFormat);
        readWithoutError = reader.status() == QSettings::NoError;
        for (const QString& key : reader.allKeys()) parsed.values.insert(key, reader.value(key));
    }
    // The INI reader passes over much without an error (zeroed bytes, an unclosed quote that takes
    // every later line into one value). A file that writing what was read gives back byte for byte
    // lost nothing; one written by hand, in another order or with comments, lost nothing when each
    // of its lines reads alone as it read in the whole.
    if (readWithoutError && checkClean) {
        const auto again = serialised(parsed.values);
        if (!again) return std::nullopt;
        parsed.clean = *again == bytes || sameLineByLine(bytes, parsed.values);
    } else {
        parsed.clean = readWithoutError;
    }
    return parsed;
}

// A damaged file read one line at a time: an unclosed quote or a stretch of zeroed or random bytes
// then costs only its own lines. Keys that are not clean text are damage, not settings.
QVariantMap SettingsFile::salvaged(const QByteArray& bytes, int* rejected) {
    QVariantMap values;
    QByteArray section = "General";
    int rejectedLines = 0;
    for (const QByteArray& rawLine : bytes.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(';')) continue;
        if (line.startsWith('[') && line.endsWith(']')) {
            section = line.mid(1, line.size() - 2);
            continue;
        }
        ++rejectedLines;
        if (!line.contains('=') || line.contains('\0')) continue;
        const auto parsed = parse("[" + section + "]\n" + line + "\n", false);
        if (!parsed || !parsed->clean || parsed->values.size() != 1) continue;
        const QString key = parsed->values.firstKey();
        const bool cleanText = std::none_of(key.begin(), key.end(), [](QChar c) { return !c.isPrint() || c == QChar::ReplacementCharacter; });
        if (!cleanText) continue;
        values.insert(key, parsed->values.first());
        --rejectedLines;
    }
    if (rejected) *rejected = rejectedLines;
    return values;
}

bool SettingsFile::sameLineByLine(const QByteArray& bytes, const QVariantMap& values) {
    int rejected = 0;
    return salvaged(bytes, &rejected) == values && rejected == 0;
}

std::optional<QByteArray> SettingsFile::serialised(const QVariantMap& values) {
    if (values.isEmpty()) return QByteArray();
    QTemporaryDir folder;
    if (!folder.isValid()) return std::nullopt;
    const QString file = scratchFile(folder);
    {
        QSettings writer(file, QSettings::IniFormat);
        writer.setAtomicSyncRequired(false);  // a scratch file: the real one is synced and renamed below
        for (auto it = values.begin(); it != values.end(); ++it) writer.setValue(it.key(), it.value());
        writer.sync();
        if (writer.status() != QSettings::NoError) return std::nullopt;
    }
    QFile written(file);
    if (!written.open(QIODevice::ReadOnly)) return std::nullopt;
    return written.readAll();
}

SettingsFile::Read SettingsFile::readBytes() const {
    const QByteArray name = QFile::encodeName(path_);
    struct stat link {};
    if (::lstat(name.constData(), &link) != 0) {
        if (errno == ENOENT) return {};  // not written yet
        return {{}, ReadFailure{ReadFailure::Kind::systemError, errno}};
    }
    // Without waiting: a FIFO in the file's place must not hold the start.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT && S_ISLNK(link.st_mode)) return {{}, ReadFailure{ReadFailure::Kind::danglingLink, 0}};
        return {{}, ReadFailure{ReadFailure::Kind::systemError, errno}};
    }
    Read read;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        read.failure = ReadFailure{ReadFailure::Kind::systemError, errno};
    } else if (!S_ISREG(info.st_mode)) {
        read.failure = ReadFailure{ReadFailure::Kind::notRegularFile, 0};
    } else {
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) read.failure = ReadFailure{ReadFailure::Kind::systemError, errno};
            if (n <= 0) break;
            read.bytes.append(buffer, n);
        }
    }
    ::close(fd);
    if (read.failure) read.bytes.clear();
    return read;
}

std::optional<QString> SettingsFile::writeTarget() const {
    const QFileInfo info(path_);
    if (!info.isSymLink()) return path_;
    const QString target = info.canonicalFilePath();
    if (target.isEmpty()) return std::nullopt;
    return target;
}

std::optional<QVariantMap> SettingsFile::currentValues() {
    if (readFailure_) return std::nullopt;
    const Read read = readBytes();
    if (read.failure) {
        // Once unreadable, never written in this run: a write would hold only this run's keys.
        readFailure_ = read.failure;
        writable_ = false;
        return std::nullopt;
    }
    const auto parsed = parse(read.bytes, false);
    if (!parsed) return std::nullopt;
    if (!parsed->tooDeep) return parsed->values;
    keepAside(read.bytes);
    if (!damagedCopy_) return std::nullopt;
    return salvaged(read.bytes);
}

void SettingsFile::write(const QVariantMap& values) const {
    // Without a scratch folder nothing can be written faithfully; the old file stays.
    const auto serialisedValues = serialised(values);
    const auto target = writeTarget();
    if (!serialisedValues || !target) return;
    const QByteArray& bytes = *serialisedValues;
    const QString folder = QFileInfo(*target).absolutePath();
    QDir().mkpath(folder);
    const std::filesystem::path file = QFile::encodeName(*target).toStdString();
    const auto scratch = FileContents::writeBeside(file, std::string_view(bytes.constData(), size_t(bytes.size())));
    if (!scratch) return;
    if (::rename(scratch->c_str(), file.c_str()) != 0) {
        ::unlink(scratch->c_str());
        return;
    }
    FileContents::syncFolder(file.parent_path());
}

void SettingsFile::keepAside(const QByteArray& bytes) {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd'T'HHmmss"));
    QString aside = path_ + ".damaged-" + stamp;
    for (int n = 2; QFileInfo::exists(aside); ++n) aside = path_ + ".damaged-" + stamp + "-" + QString::number(n);
    QFile copy(aside);
    if (!copy.open(QIODevice::WriteOnly | QIODevice::NewOnly) || copy.write(bytes) != bytes.size() || !copy.flush()) return;
    ::fsync(copy.handle());
    damagedCopy_ = aside;
}

QVariantMap SettingsFile::loadKeepingDamageAside() {
    const WriterLock lock(path_);
    const Read read = readBytes();
    if (read.failure) {
        // Unreadable is not empty: what is there stays untouched, and nothing is written this run.
        readFailure_ = read.failure;
        writable_ = false;
        return {};
    }
    const QByteArray& bytes = read.bytes;
    const auto parsed = parse(bytes, true);
    // Nothing can be judged without a scratch folder: read the file as it is and write nothing.
    if (!parsed) {
        writable_ = false;
        if (SettingsNesting::mayNestTooDeep(bytes)) return {};
        QSettings reader(path_, QSettings::IniFormat);
        QVariantMap values;
        for (const QString& key : reader.allKeys()) values.insert(key, reader.value(key));
        return values;
    }
    if (parsed->clean) return parsed->values;
    keepAside(bytes);
    const QVariantMap values = salvaged(bytes);
    // Only with the damage kept may the file be written again.
    writable_ = damagedCopy_.has_value();
    if (writable_) write(values);
    return values;
}
