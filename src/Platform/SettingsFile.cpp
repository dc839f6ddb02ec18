#include "Platform/SettingsFile.h"

#include "Platform/FileContents.h"
#include "Platform/SettingsText.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
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

struct Decoded {
    QVariantMap values;
    bool clean = false;
};

// What Qt's reader makes of `readable` (lines judged to read alone as in the whole), in one
// reading. Keys that are not clean text are damage, not settings. Nothing when no scratch file
// could be made to read it with.
std::optional<Decoded> decoded(const QByteArray& readable) {
    Decoded result;
    if (readable.isEmpty()) {
        result.clean = true;
        return result;
    }
    QTemporaryDir folder;
    const QString file = scratchFile(folder);
    QFile scratch(file);
    if (!folder.isValid() || !scratch.open(QIODevice::WriteOnly) || scratch.write(readable) != readable.size() || !scratch.flush()) return std::nullopt;
    scratch.close();
    QSettings reader(file, QSettings::IniFormat);
    result.clean = reader.status() == QSettings::NoError;
    for (const QString& key : reader.allKeys()) {
        const bool cleanText = std::none_of(key.begin(), key.end(), [](QChar c) { return !c.isPrint() || c == QChar::ReplacementCharacter; });
        if (cleanText) result.values.insert(key, reader.value(key));
        else result.clean = false;
    }
    return result;
}

// Copies everything from `from`'s start to `to`; false on an error.
bool copyAll(int from, int to) {
    char buffer[65536];
    for (off_t offset = 0;;) {
        const ssize_t got = ::pread(from, buffer, sizeof buffer, offset);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) return true;
        if (!FileContents::writeAll(to, std::string_view(buffer, std::size_t(got)))) return false;
        offset += got;
    }
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
    QByteArray bytes = written.readAll();
    // Qt's writer reports no error for a file the disk cut short. It writes one line per key, one
    // per section header and a blank line between sections, every line end included: anything
    // short of that was cut.
    QSet<QStringView> sections;
    for (auto it = values.keyBegin(); it != values.keyEnd(); ++it) sections.insert(QStringView(*it).left(std::max<qsizetype>(it->indexOf(u'/'), 0)));
    if (bytes.count('\n') != values.size() + 2 * sections.size() - 1 || !bytes.endsWith('\n')) {
        errno = EIO;
        return std::nullopt;
    }
    return bytes;
}

SettingsFile::Read SettingsFile::readBytes() const {
    const QByteArray name = QFile::encodeName(path_);
    struct stat link {};
    if (::lstat(name.constData(), &link) != 0) {
        if (errno == ENOENT) return {};  // not written yet
        return {{}, true, {}, ReadFailure{ReadFailure::Kind::systemError, errno}};
    }
    // Without waiting: a FIFO in the file's place must not hold the start.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT && S_ISLNK(link.st_mode)) return {{}, true, {}, ReadFailure{ReadFailure::Kind::danglingLink, 0}};
        return {{}, true, {}, ReadFailure{ReadFailure::Kind::systemError, errno}};
    }
    Read read;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        read.failure = ReadFailure{ReadFailure::Kind::systemError, errno};
    } else if (!S_ISREG(info.st_mode)) {
        read.failure = ReadFailure{ReadFailure::Kind::notRegularFile, 0};
    } else {
        read.identity = FileIdentity::of(info);
        read.permissions = info.st_mode & 07777;
        // One byte past the limit tells a file that is longer.
        read.bytes.resize(std::min<qsizetype>(SettingsText::byteLimit + 1, std::max<qsizetype>(info.st_size, 0) + 1));
        qsizetype done = 0;
        while (done < SettingsText::byteLimit + 1) {
            if (done == read.bytes.size()) read.bytes.resize(std::min<qsizetype>(SettingsText::byteLimit + 1, done * 2));
            const ssize_t n = ::read(fd, read.bytes.data() + done, std::size_t(read.bytes.size() - done));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) read.failure = ReadFailure{ReadFailure::Kind::systemError, errno};
            if (n <= 0) break;
            done += n;
        }
        read.whole = done <= SettingsText::byteLimit;
        read.bytes.resize(std::min(done, SettingsText::byteLimit));
    }
    ::close(fd);
    if (read.failure) {
        read.bytes.clear();
        read.identity.reset();
    }
    return read;
}

std::optional<std::optional<FileIdentity>> SettingsFile::identityNow() const {
    const QByteArray name = QFile::encodeName(path_);
    struct stat info {};
    if (::lstat(name.constData(), &info) != 0) {
        if (errno == ENOENT) return std::optional<FileIdentity>();
        return std::nullopt;
    }
    if (S_ISLNK(info.st_mode) && ::stat(name.constData(), &info) != 0) return std::nullopt;
    return FileIdentity::of(info);
}

std::optional<QString> SettingsFile::writeTarget() const {
    const QFileInfo info(path_);
    if (!info.isSymLink()) return path_;
    const QString target = info.canonicalFilePath();
    if (target.isEmpty()) return std::nullopt;
    return target;
}

std::optional<SettingsFile::Loaded> SettingsFile::readKeepingDamageAside() {
    const Read read = readBytes();
    if (read.failure) {
        // Unreadable is not empty: what is there stays untouched, and nothing is written this run.
        readFailure_ = read.failure;
        writable_ = false;
        return std::nullopt;
    }
    const SettingsText::Judged judged = SettingsText::judge(read.bytes, read.whole);
    errno = 0;
    const auto readable = decoded(judged.readable);
    if (!readable) {
        // Nothing can be read faithfully without a scratch folder: a sound file is read as it is,
        // and nothing is written.
        writable_ = false;
        unwritableError_ = errno ? errno : EIO;
        Loaded loaded;
        loaded.damaged = judged.damaged;
        if (judged.damaged) return loaded;
        QSettings reader(path_, QSettings::IniFormat);
        for (const QString& key : reader.allKeys()) loaded.values.insert(key, reader.value(key));
        return loaded;
    }
    Loaded loaded{readable->values, judged.damaged || !readable->clean};
    // Only with the damage kept may the file be written again.
    writable_ = !loaded.damaged || keepAside(read);
    if (!writable_) unwritableError_ = errno ? errno : EIO;
    if (writable_) {
        seen_ = read.identity;
        values_ = loaded.values;
    } else {
        seen_.reset();
    }
    return loaded;
}

std::optional<QVariantMap> SettingsFile::currentValues() {
    if (readFailure_) return std::nullopt;
    // Still the file last read or written: nobody else changed it since.
    if (const auto now = identityNow(); seen_ && now && *now == *seen_) return values_;
    auto loaded = readKeepingDamageAside();
    if (!loaded) return std::nullopt;
    unsaved_.applyTo(loaded->values);
    return std::move(loaded->values);
}

void SettingsFile::store(const QVariantMap& before, const QVariantMap& after) {
    if (writable_ && write(after)) {
        unsaved_ = {};
        return;
    }
    unsaved_.note(before, after);
    if (!writable_ && !writeFailure_) writeFailure_ = unwritableError_;
}

void SettingsFile::Unsaved::note(const QVariantMap& before, const QVariantMap& after) {
    for (auto it = after.begin(); it != after.end(); ++it) {
        if (before.contains(it.key()) && before.value(it.key()) == it.value()) continue;
        set.insert(it.key(), it.value());
        removed.remove(it.key());
    }
    for (auto it = before.keyBegin(); it != before.keyEnd(); ++it) {
        if (after.contains(*it)) continue;
        removed.insert(*it);
        set.remove(*it);
    }
}

void SettingsFile::Unsaved::applyTo(QVariantMap& values) const {
    for (auto it = set.begin(); it != set.end(); ++it) values.insert(it.key(), it.value());
    for (const QString& key : removed) values.remove(key);
}

bool SettingsFile::write(const QVariantMap& values) {
    // What this run holds from now on, stored or not: a later write stores it with its own change.
    values_ = values;
    int error = 0;
    errno = 0;
    const auto serialisedValues = serialised(values);
    const auto target = writeTarget();
    if (!serialisedValues) {
        error = errno ? errno : EIO;
    } else if (!target) {
        error = ENOENT;
    } else {
        const QByteArray& bytes = *serialisedValues;
        QDir().mkpath(QFileInfo(*target).absolutePath());
        const std::filesystem::path file = QFile::encodeName(*target).toStdString();
        // The file keeps its permissions; a new one is the user's alone.
        std::optional<mode_t> mode;
        if (struct stat existing {}; ::stat(file.c_str(), &existing) == 0) mode = existing.st_mode & 07777;
        const auto scratch = FileContents::writeBeside(file, std::string_view(bytes.constData(), size_t(bytes.size())), mode);
        if (!scratch) {
            error = errno;
        } else if (::rename(scratch->c_str(), file.c_str()) != 0) {
            error = errno;
            ::unlink(scratch->c_str());
        } else {
            FileContents::syncFolder(file.parent_path());
        }
    }
    if (error == 0) {
        seen_ = identityNow();
        return true;
    }
    // The old file stays whole; the failure is told once, and later changes are still tried.
    if (!writeFailure_) writeFailure_ = error;
    return false;
}

bool SettingsFile::keepAside(const Read& read) {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd'T'HHmmss"));
    QString aside = path_ + ".damaged-" + stamp;
    for (int n = 2; QFileInfo::exists(aside) || QFileInfo(aside).isSymLink(); ++n) aside = path_ + ".damaged-" + stamp + "-" + QString::number(n);
    const QByteArray asideName = QFile::encodeName(aside);
    if (!read.whole) {
        // Only its first part was read, and the whole may be huge: a second name for the very file
        // read keeps it whole at once; the write that follows puts a new file under the old name.
        if (::linkat(AT_FDCWD, QFile::encodeName(path_).constData(), AT_FDCWD, asideName.constData(), AT_SYMLINK_FOLLOW) == 0) {
            const auto linked = FileIdentity::at(asideName.toStdString());
            if (linked && read.identity && linked->sameApartFromStatusChange(*read.identity)) {
                damagedCopy_ = aside;
                return true;
            }
            ::unlink(asideName.constData());
        }
    }
    // The copy is as private as the file it keeps: made with its permission bits, the umask aside.
    const int fd = ::open(asideName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, read.permissions);
    if (fd < 0) return false;
    QFile copy;
    bool kept = ::fchmod(fd, read.permissions) == 0 && copy.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle);
    if (!copy.isOpen()) ::close(fd);
    if (kept && read.whole) {
        kept = copy.write(read.bytes) == read.bytes.size() && copy.flush();
    } else if (kept) {
        // Where no second name can be made: copied from itself, while it is still that file.
        const int from = ::open(QFile::encodeName(path_).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        struct stat info {};
        kept = from >= 0 && ::fstat(from, &info) == 0 && FileIdentity::of(info) == read.identity && copy.flush() && copyAll(from, copy.handle());
        if (from >= 0) ::close(from);
    }
    kept = kept && ::fsync(copy.handle()) == 0;
    const int error = errno ? errno : EIO;
    copy.close();
    if (!kept) {
        QFile::remove(aside);
        errno = error;
        return false;
    }
    damagedCopy_ = aside;
    return true;
}

QVariantMap SettingsFile::loadKeepingDamageAside() {
    const ProcessEnd::Step step;  // a damaged file is kept aside and rewritten whole
    const WriterLock lock(path_);
    auto loaded = readKeepingDamageAside();
    if (!loaded) return {};
    if (loaded->damaged && writable_) write(loaded->values);
    return loaded->values;
}
