#include "Platform/SettingsStore.h"

#include <QStandardPaths>

// Worked out without a QSettings object: making one opens the file, which would wait for good on a
// FIFO in its place.
QString SettingsStore::userFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Quarnell/Quarnell.ini");
}

SettingsStore::SettingsStore() { useFile(userFilePath()); }

SettingsStore& SettingsStore::shared() {
    static SettingsStore* store = new SettingsStore();  // lives for the process, used from many threads
    return *store;
}

void SettingsStore::useFile(const QString& path) {
    auto file = std::make_unique<SettingsFile>(path);
    QVariantMap values = file->loadKeepingDamageAside();
    std::lock_guard lock(mutex_);
    failureKnown_ = file->readFailure().has_value();
    writeFailureKnown_ = file->writeFailure().has_value();
    file_ = std::move(file);
    values_ = std::move(values);
}

std::optional<QString> SettingsStore::damagedCopy() const {
    std::lock_guard lock(mutex_);
    return file_->damagedCopy();
}

QString SettingsStore::filePath() const {
    std::lock_guard lock(mutex_);
    return file_->path();
}

bool SettingsStore::storesEveryChange() const {
    std::lock_guard lock(mutex_);
    return !file_->readFailure() && !file_->holdsUnsavedChanges();
}

std::optional<SettingsFile::ReadFailure> SettingsStore::readFailure() const {
    std::lock_guard lock(mutex_);
    return file_->readFailure();
}

std::optional<int> SettingsStore::writeFailure() const {
    std::lock_guard lock(mutex_);
    return file_->writeFailure();
}

QVariant SettingsStore::value(const QString& key, const QVariant& fallback) const {
    std::lock_guard lock(mutex_);
    return values_.value(key, fallback);
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
    return values_.contains(key);
}

void SettingsStore::setValue(const QString& key, const QVariant& newValue) {
    update(key, [&](const QVariant&) { return newValue; });
}

void SettingsStore::remove(const QString& key) {
    NewFailures failures;
    {
        std::lock_guard lock(mutex_);
        // Where the file cannot be read, the change holds for this run only.
        if (auto stored = file_->update([&](QVariantMap& values) { return values.remove(key) > 0; })) values_ = std::move(*stored);
        else values_.remove(key);
        failures = noteFailures();
    }
    announce(failures);
    emit valueChanged(key);
}

SettingsStore::NewFailures SettingsStore::noteFailures() {
    NewFailures failures;
    failures.read = !failureKnown_ && file_->readFailure();
    failures.write = !writeFailureKnown_ && file_->writeFailure();
    failureKnown_ = failureKnown_ || failures.read;
    writeFailureKnown_ = writeFailureKnown_ || failures.write;
    return failures;
}

void SettingsStore::announce(NewFailures failures) {
    if (failures.read) emit readFailed();
    if (failures.write) emit writeFailed();
}

QVariant SettingsStore::update(const QString& key, const std::function<std::optional<QVariant>(const QVariant& stored)>& change) {
    QVariant stored;
    NewFailures failures;
    {
        std::lock_guard lock(mutex_);
        auto apply = [&](QVariantMap& values) {
            std::optional<QVariant> changed = change(values.value(key));
            if (!changed) return false;
            values.insert(key, *changed);
            return true;
        };
        // Where the file cannot be read, the change holds for this run only.
        if (auto fromFile = file_->update(apply)) values_ = std::move(*fromFile);
        else apply(values_);
        stored = values_.value(key);
        failures = noteFailures();
    }
    announce(failures);
    emit valueChanged(key);
    return stored;
}

QMetaObject::Connection SettingsStore::watch(const QString& key, QObject* context, std::function<void()> onChange) {
    return connect(this, &SettingsStore::valueChanged, context, [key, onChange = std::move(onChange)](const QString& changed) {
        if (changed == key) onChange();
    });
}
