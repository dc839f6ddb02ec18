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
    // the file could not be read (no scratch space), and then nothing was changed.
    template <typename Change>
    std::optional<QVariantMap> update(Change&& change) {
        const WriterLock lock(path_);
        const auto parsed = parse(readBytes(), false);
        if (!parsed) return std::nullopt;
        QVariantMap values = parsed->values;
        if (change(values) && writable_) write(values);
        return values;
    }

    // The copy a damaged file was kept as in this run; none when it read back cleanly.
    const std::optional<QString>& damagedCopy() const { return damagedCopy_; }

private:
    struct Parsed {
        QVariantMap values;
        bool clean = false;
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
    static QVariantMap salvaged(const QByteArray& bytes);
    static std::optional<QByteArray> serialised(const QVariantMap& values);
    QByteArray readBytes() const;
    void write(const QVariantMap& values) const;
    void keepAside(const QByteArray& bytes);

    QString path_;
    std::optional<QString> damagedCopy_;
    bool writable_ = true;  // false while a damaged file could not be kept aside
};
