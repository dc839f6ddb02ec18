#pragma once

#include "Platform/SettingsFile.h"

#include <QObject>
#include <QVariant>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>

// The per-user preference store (~/.config/Quarnell/Quarnell.ini), one key per preference.
// Reads come from memory; every write goes to the file at once, as a read-modify-write of the file
// under a lock, so that another process's keys are kept. Safe to call from any thread;
// valueChanged is emitted on the thread that wrote the value.
class SettingsStore : public QObject {
    Q_OBJECT
public:
    static SettingsStore& shared();

    // The user's file, where QSettings keeps it: ~/.config/Quarnell/Quarnell.ini.
    static QString userFilePath();
    // Points the store at another file; tests use a temporary one.
    void useFile(const QString& path);
    // The copy a damaged settings file was kept as when the store opened it.
    std::optional<QString> damagedCopy() const;
    // Why the settings file could not be read, once it could not: from then on changes hold for
    // this run only and the file is left as it is.
    std::optional<SettingsFile::ReadFailure> readFailure() const;
    // The error (errno) of the first write of the file that failed in this run: that change and
    // the next hold in memory, and each later change tries to store them all again.
    std::optional<int> writeFailure() const;
    QString filePath() const;
    // Whether every change of this run is in the file, for what must outlive the process: none is
    // when the file cannot be read or a change could not be written.
    bool storesEveryChange() const;

    QVariant value(const QString& key, const QVariant& fallback = {}) const;
    QString text(const QString& key) const;  // empty when missing
    bool flag(const QString& key, bool fallback = false) const;
    bool contains(const QString& key) const;
    void setValue(const QString& key, const QVariant& value);
    void remove(const QString& key);

    // Reads the stored value afresh from the file under the writers' lock and stores what `change`
    // makes of it (an invalid value when the key is missing); `change` returns nothing to store
    // nothing. Returns the value stored afterwards. Two processes updating one key lose nothing.
    QVariant update(const QString& key, const std::function<std::optional<QVariant>(const QVariant& stored)>& change);

    // Calls `onChange` (in `context`'s thread) every time `key` is written or removed.
    QMetaObject::Connection watch(const QString& key, QObject* context, std::function<void()> onChange);

signals:
    void valueChanged(const QString& key);
    // Once per run, on the thread that found it: the file turned out unreadable after it was opened.
    void readFailed();
    // Once per run, on the thread that found it: a write of the file failed (a full disk, say).
    void writeFailed();

private:
    SettingsStore();
    struct NewFailures {
        bool read = false;
        bool write = false;
    };
    NewFailures noteFailures();  // which of the file's failures are new; under mutex_
    void announce(NewFailures failures);

    mutable std::mutex mutex_;
    std::unique_ptr<SettingsFile> file_;
    QVariantMap values_;
    bool failureKnown_ = false;  // readFailed was emitted, or the failure was there at opening
    bool writeFailureKnown_ = false;  // likewise for writeFailed
};
