#include "Platform/SettingsFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/file.h>
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

bool writeAll(int fd, const QByteArray& bytes) {
    for (qsizetype written = 0; written < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        written += n;
    }
    return true;
}

void syncFolder(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
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
    // every later line into one value); a file that writing what was read does not give back
    // byte for byte has lost something.
    if (readWithoutError && checkClean) {
        const auto again = serialised(parsed.values);
        if (!again) return std::nullopt;
        parsed.clean = *again == bytes;
    } else {
        parsed.clean = readWithoutError;
    }
    return parsed;
}

// A damaged file read one line at a time: an unclosed quote or a stretch of zeroed or random bytes
// then costs only its own lines. Keys that are not clean text are damage, not settings.
QVariantMap SettingsFile::salvaged(const QByteArray& bytes) {
    QVariantMap values;
    QByteArray section = "General";
    for (const QByteArray& rawLine : bytes.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.startsWith('[') && line.endsWith(']')) {
            section = line.mid(1, line.size() - 2);
            continue;
        }
        if (!line.contains('=') || line.contains('\0')) continue;
        const auto parsed = parse("[" + section + "]\n" + line + "\n", false);
        if (!parsed || !parsed->clean || parsed->values.size() != 1) continue;
        const QString key = parsed->values.firstKey();
        const bool cleanText = std::none_of(key.begin(), key.end(), [](QChar c) { return !c.isPrint() || c == QChar::ReplacementCharacter; });
        if (cleanText) values.insert(key, parsed->values.first());
    }
    return values;
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

QByteArray SettingsFile::readBytes() const {
    QFile file(path_);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void SettingsFile::write(const QVariantMap& values) const {
    // Without a scratch folder nothing can be written faithfully; the old file stays.
    const auto serialisedValues = serialised(values);
    if (!serialisedValues) return;
    const QByteArray& bytes = *serialisedValues;
    const QString folder = QFileInfo(path_).absolutePath();
    QDir().mkpath(folder);
    QByteArray pattern = QFile::encodeName(path_ + ".XXXXXX");
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) return;
    const bool complete = writeAll(fd, bytes) && ::fsync(fd) == 0;
    ::close(fd);
    if (!complete || ::rename(pattern.constData(), QFile::encodeName(path_).constData()) != 0) {
        ::unlink(pattern.constData());
        return;
    }
    syncFolder(folder);
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
    const QByteArray bytes = readBytes();
    const auto parsed = parse(bytes, true);
    // Nothing can be judged without a scratch folder: read the file as it is and write nothing.
    if (!parsed) {
        writable_ = false;
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
