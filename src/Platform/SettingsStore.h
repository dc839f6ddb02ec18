#pragma once

#include <QObject>
#include <QSettings>
#include <QVariant>

#include <functional>
#include <memory>
#include <mutex>

// The per-user preference store (~/.config/Quarnell/Quarnell.conf), one key per preference.
// Safe to call from any thread; valueChanged is emitted on the thread that wrote the value.
class SettingsStore : public QObject {
    Q_OBJECT
public:
    static SettingsStore& shared();

    // Points the store at another file; tests use a temporary one.
    void useFile(const QString& path);

    QVariant value(const QString& key, const QVariant& fallback = {}) const;
    QString text(const QString& key) const;  // empty when missing
    bool flag(const QString& key, bool fallback = false) const;
    bool contains(const QString& key) const;
    void setValue(const QString& key, const QVariant& value);
    void remove(const QString& key);
    void sync();

    // Calls `onChange` (in `context`'s thread) every time `key` is written or removed.
    QMetaObject::Connection watch(const QString& key, QObject* context, std::function<void()> onChange);

signals:
    void valueChanged(const QString& key);

private:
    SettingsStore();

    mutable std::mutex mutex_;
    std::unique_ptr<QSettings> settings_;
};
