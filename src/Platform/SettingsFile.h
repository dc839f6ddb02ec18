#pragma once

#include "Foundation/FileIdentity.h"
#include "Foundation/ProcessEnd.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QVariantMap>

#include <optional>

#include <sys/types.h>

// The settings file on disk, in the INI form QSettings reads and writes. Every change is a
// read-modify-write under an flock on "<file>.lock-writers", written to a temporary file that is
// synced and then renamed over the old one, so two processes lose nothing of each other's and a
// crash leaves the old file or the new one, never a part.
class SettingsFile {
public:
    explicit SettingsFile(QString path);

    const QString& path() const { return path_; }

    // What the file holds. A file that does not read back cleanly (an unknown line, a broken quote,
    // bytes that are no INI at all, more than a settings file holds) is first kept aside whole,
    // beside it with the time in its name, and then rewritten with what could be read.
    QVariantMap loadKeepingDamageAside();

    // Under the writers' lock: the file's values, read again, by the same rule as at the start,
    // only when the file is no longer the one this object last read or wrote; `change` alters them
    // and the result is written. `change` returns false to write nothing. Returns the values with
    // the change, written or, when it could not be (writeFailure() says why), held for the run;
    // nothing when the file could not be read (then nothing was changed, and nothing is written for
    // the rest of the run: readFailure() says why).
    template <typename Change>
    std::optional<QVariantMap> update(Change&& change) {
        const ProcessEnd::Step step;  // the process does not end in the middle of a write
        const WriterLock lock(path_);
        auto values = currentValues();
        if (!values) return std::nullopt;
        const QVariantMap before = *values;
        if (change(*values)) store(before, *values);
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
    // The error (errno) of the first change in this run that could not be written, a full disk say,
    // or no room to keep a damaged file aside first; the old file then stayed as it was, the change
    // holds for the run, and later changes try to store it again.
    const std::optional<int>& writeFailure() const { return writeFailure_; }

    // Whether a change of this run is not in the file yet (its write failed, or it could not be
    // tried).
    bool holdsUnsavedChanges() const { return !unsaved_.set.isEmpty() || !unsaved_.removed.isEmpty(); }

    // The copy a damaged file was last kept as in this run; none when it read back cleanly.
    const std::optional<QString>& damagedCopy() const { return damagedCopy_; }

private:
    struct Read {
        QByteArray bytes;  // empty when there is no file; only the first part of a file too large
        bool whole = true;
        std::optional<FileIdentity> identity;  // none when there is no file
        std::optional<ReadFailure> failure;
        mode_t permissions = 0600;  // the file's own, for the copy a damaged one is kept as
    };

    // The changes of this run the file does not hold yet: each read of the file gets them again.
    struct Unsaved {
        QVariantMap set;
        QSet<QString> removed;
        void note(const QVariantMap& before, const QVariantMap& after);
        void applyTo(QVariantMap& values) const;
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

    struct Loaded {
        QVariantMap values;
        bool damaged = false;
    };
    // Reads the file and judges it, damage kept aside first: what could be read. Nothing when the
    // file cannot be read. writable_ says afterwards whether it may be written.
    std::optional<Loaded> readKeepingDamageAside();
    static std::optional<QByteArray> serialised(const QVariantMap& values);
    Read readBytes() const;
    // The file at the path as it is now, a link followed: none inside when there is none; nothing
    // when that cannot be told.
    std::optional<std::optional<FileIdentity>> identityNow() const;
    // The values for a change: those last read or written while the file is still that one, else
    // the file read again.
    std::optional<QVariantMap> currentValues();
    // Where writes go: the file a link at the path leads to, so the link stays a link.
    std::optional<QString> writeTarget() const;
    // Writes `after`, or keeps the change from `before` unsaved and says why.
    void store(const QVariantMap& before, const QVariantMap& after);
    bool write(const QVariantMap& values);  // false when the file could not be written
    bool keepAside(const Read& read);  // false with errno set when it could not

    QString path_;
    std::optional<QString> damagedCopy_;
    bool writable_ = true;  // false after a failed read, or while a damaged file could not be kept aside
    int unwritableError_ = 0;  // why it is not writable when the file could be read (errno)
    Unsaved unsaved_;
    std::optional<ReadFailure> readFailure_;
    std::optional<int> writeFailure_;
    // The file as this object last read or wrote it (none: there was none), and its values then,
    // with any change a failed write could not store.
    std::optional<std::optional<FileIdentity>> seen_;
    QVariantMap values_;
};
