#include "Platform/SettingsStore.h"

SettingsStore::SettingsStore() : settings_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, "Quarnell", "Quarnell")) {}

SettingsStore& SettingsStore::shared() {
    static SettingsStore* store = new SettingsStore();  // lives for the process, used from many threads
    return *store;
}

void SettingsStore::useFile(const QString& path) {
    std::lock_guard lock(mutex_);
    settings_ = std::make_unique<QSettings>(path, QSettings::IniFormat);
}

QVariant SettingsStore::value(const QString& key, const QVariant& fallback) const {
    std::lock_guard lock(mutex_);
    return settings_->value(key, fallback);
}

QString SettingsStore::text(const QString& key) const {
    QVariant stored = value(key);
    return stored.canConvert<QString>() ? stored.toString() : QString();
}

bool SettingsStore::flag(const QString& key, bool fallback) const {
    QVariant stored = value(key);
    if (!stored.isValid()) return fallback;
    // The INI file stores booleans as text.
    QString textValue = stored.toString();
    if (textValue == "true") return true;
    if (textValue == "false") return false;
    return fallback;
}

bool SettingsStore::contains(const QString& key) const {
    std::lock_guard lock(mutex_);
    return settings_->contains(key);
}

void SettingsStore::setValue(const QString& key, const QVariant& newValue) {
    {
        std::lock_guard lock(mutex_);
        settings_->setValue(key, newValue);
    }
    emit valueChanged(key);
}

void SettingsStore::remove(const QString& key) {
    {
        std::lock_guard lock(mutex_);
        settings_->remove(key);
    }
    emit valueChanged(key);
}

void SettingsStore::sync() {
    std::lock_guard lock(mutex_);
    settings_->sync();
}

QMetaObject::Connection SettingsStore::watch(const QString& key, QObject* context, std::function<void()> onChange) {
    return connect(this, &SettingsStore::valueChanged, context, [key, onChange = std::move(onChange)](const QString& changed) {
        if (changed == key) onChange();
    });
}
