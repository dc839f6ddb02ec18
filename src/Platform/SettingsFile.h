#pragma once

#include <QByteArray>
#include <QString>
#include <QVariantMap>

#include <optional>

// The settings file on disk, in the INI form QSettings reads and writes. Every change is a
// read-modify-write under an flock on "<file>.lock-writers", written to a temporary file that is
// synced and then renamed over the old one, so two processes lose nothing of each other's and a
// crash leaves the old file or the new one, never a part.
class SettingsFile {
public:
    explicit SettingsFile(QString path);

    const QString& path() const { return path_; }

    // What the file holds. A file that does not read back cleanly (an unknown line, a broken quote,
    // bytes that are no INI at all) is first copied aside whole, beside it with the time in its name,
    // and then rewritten with what could be read.
    QVariantMap loadKeepingDamageAside();

    // Reads the file afresh under the writers' lock, lets `change` alter it and writes the result.
    // `change` returns false to write nothing. Returns what the file holds afterwards; nothing when
    // the file could not be read (then nothing was changed, and nothing is written for the rest of
    // the run: readFailure() says why). A file found damaged is first copied aside.
    template <typename Change>
    std::optional<QVariantMap> update(Change&& change) {
        const WriterLock lock(path_);
        auto values = currentValues();
        if (!values) return std::nullopt;
        if (change(*values) && writable_) write(*values);
        return values;
    }

    // Why the file could not be read, when it could not: a file that is there but is no regular file
    // (a FIFO, a folder), a link to nothing, or an error of the system (errno). A missing file is
    // no failure: it is empty.
    struct ReadFailure {
        enum class Kind { systemError, notRegularFile, danglingLink };
        Kind kind = Kind::systemError;
        int error = 0;
        bool operator==(const ReadFailure&) const = default;
    };
    const std::optional<ReadFailure>& readFailure() const { return readFailure_; }

    // The copy a damaged file was kept as in this run; none when it read back cleanly.
    const std::optional<QString>& damagedCopy() const { return damagedCopy_; }

private:
    struct Parsed {
        QVariantMap values;
        bool clean = false;
        bool tooDeep = false;  // not read at all: Qt's reader would overflow the stack on it
    };
    struct Read {
        QByteArray bytes;  // empty when there is no file
        std::optional<ReadFailure> failure;
    };

    class WriterLock {
    public:
        explicit WriterLock(const QString& settingsPath);
        ~WriterLock();
        WriterLock(const WriterLock&) = delete;
        WriterLock& operator=(const WriterLock&) = delete;

    private:
        int fd_;
    };

    // Nothing when no scratch file could be made to read it with.
    static std::optional<Parsed> parse(const QByteArray& bytes, bool checkClean);
    // What can be read line by line; `rejected` counts the lines that hold something but read as nothing.
    static QVariantMap salvaged(const QByteArray& bytes, int* rejected = nullptr);
    static bool sameLineByLine(const QByteArray& bytes, const QVariantMap& values);
    static std::optional<QByteArray> serialised(const QVariantMap& values);
    Read readBytes() const;
    // The file's values read afresh for a change, the damage kept aside first; nothing when the file
    // cannot be read or may not be written.
    std::optional<QVariantMap> currentValues();
    // Where writes go: the file a link at the path leads to, so the link stays a link.
    std::optional<QString> writeTarget() const;
    void write(const QVariantMap& values) const;
    void keepAside(const QByteArray& bytes);

    QString path_;
    std::optional<QString> damagedCopy_;
    bool writable_ = true;  // false after a failed read, or while a damaged file could not be kept aside
    std::optional<ReadFailure> readFailure_;
};
