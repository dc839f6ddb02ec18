#include "Services/StorageHistoryService.h"

#include "Foundation/PathText.h"
#include "Foundation/SaturatingSum.h"
#include "Platform/SettingsStore.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>


#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_map>
#include <unordered_set>

namespace {

const QString key = QStringLiteral("storageHistory.v1");
const QString scanKey = QStringLiteral("scanHistory.v1");

// An undecodable history is moved to "<key>.unreadable" (then ".unreadable.2", …) before the list
// starts afresh, so a damaged value never costs the days it held. Moved, not copied: a value left
// in place would be set aside again at every launch until something rewrites it.
void setAside(const QString& storedKey, const QVariant& value) {
    SettingsStore& store = SettingsStore::shared();
    QString aside = storedKey + ".unreadable";
    for (int n = 2; store.contains(aside); ++n) aside = storedKey + ".unreadable." + QString::number(n);
    store.setValue(aside, value);
    store.remove(storedKey);
}

// The first day a record can come from: this system keeps no history from before 2000.
constexpr Instant earliestRecordDate = Instant::fromUnixSeconds(946'684'800);  // 2000-01-01 UTC

// Whether a record's date could be a real one: not before 2000 and not more than a day ahead of now
// (a clock a little ahead of this one, or a time zone moved, still counts).
bool possibleDate(Instant date, Instant now) {
    return date >= earliestRecordDate && date <= now.addingSeconds(86'400);
}

// A capacity record that a volume could have given: no negative figure and a capacity (used plus
// available) above zero that fits in 64 bits.
bool possible(const StorageRecord& record, Instant now) {
    std::int64_t capacity = 0;
    return possibleDate(record.date, now) && record.used >= 0 && record.available >= 0 &&
           !__builtin_add_overflow(record.used, record.available, &capacity) && capacity > 0;
}

bool possible(const ScanHistoryRecord& record, Instant now) {
    if (!possibleDate(record.date, now) || record.totalSize < 0 || record.fileCount < 0 || record.folderCount < 0) return false;
    return std::ranges::all_of(record.buckets, [](const StoredStorageBucket& bucket) { return bucket.size >= 0 && bucket.fileCount >= 0; });
}

// A stored list as read: its records that can be real, and whether it held any that cannot.
template <typename Record>
struct StoredList {
    std::vector<Record> records;
    bool droppedImpossible = false;
};

// The list a stored value holds: empty for none, nothing when it cannot be decoded as a whole. A
// record whose figures cannot be real is left out.
template <typename Record>
std::optional<StoredList<Record>> decoded(const QVariant& stored, Instant now) {
    if (!stored.isValid()) return StoredList<Record>();
    const QJsonDocument document = QJsonDocument::fromJson(stored.toByteArray());
    if (!document.isArray()) return std::nullopt;
    StoredList<Record> list;
    for (const auto& item : document.array()) {
        auto record = Record::fromJson(item);
        if (!record) return std::nullopt;
        if (possible(*record, now)) {
            list.records.push_back(std::move(*record));
        } else {
            list.droppedImpossible = true;
        }
    }
    return list;
}

template <typename Record>
QByteArray encoded(const std::vector<Record>& records) {
    QJsonArray array;
    for (const auto& record : records) array.append(record.toJson());
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

// A list with records that cannot be real is set aside as it was, like an undecodable one, and the
// rest is stored again without them.
template <typename Record>
std::vector<Record> load(const QString& storedKey, Instant now) {
    const QVariant stored = SettingsStore::shared().value(storedKey);
    auto list = decoded<Record>(stored, now);
    if (!list) {
        setAside(storedKey, stored);
        return {};
    }
    if (list->droppedImpossible) {
        setAside(storedKey, stored);
        SettingsStore::shared().setValue(storedKey, encoded(list->records));
    }
    return std::move(list->records);
}

// Changes the list as it is stored now, not as this process last saw it: another process may
// have added to it since. A stored value that cannot be decoded gives way to `current`.
template <typename Record, typename Change>
void update(const QString& storedKey, std::vector<Record>& current, size_t limit, Instant now, Change&& change) {
    SettingsStore::shared().update(storedKey, [&](const QVariant& stored) -> std::optional<QVariant> {
        auto list = decoded<Record>(stored, now);
        std::vector<Record> records = list ? std::move(list->records) : current;
        change(records);
        if (records.size() > limit) records.erase(records.begin(), records.end() - static_cast<std::ptrdiff_t>(limit));
        QByteArray value = encoded(records);
        current = std::move(records);
        return value;
    });
}

// The local calendar day of an instant; none for a stored date too far out to be a real one.
std::optional<QDate> localDay(Instant instant, const QTimeZone& zone) {
    const double unix = instant.unixSeconds();
    if (!std::isfinite(unix) || std::abs(unix) > 1e13) return std::nullopt;
    return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(std::floor(unix * 1000)), zone).date();
}

QString canonical(const QString& path) {
    return path.normalized(QString::NormalizationForm_C);
}

// |current - previous| without overflow, for ordering.
std::uint64_t changeMagnitude(const FolderStorageChange& change) {
    const auto current = static_cast<std::uint64_t>(change.currentSize);
    const auto previous = static_cast<std::uint64_t>(change.previousSize);
    return change.currentSize >= change.previousSize ? current - previous : previous - current;
}

}  // namespace

StorageHistoryService::StorageHistoryService(QObject* parent) : StorageHistoryService(Sources{}, parent) {}

StorageHistoryService::StorageHistoryService(Sources sources, QObject* parent)
    : QObject(parent), sources_(std::move(sources)), records_(load<StorageRecord>(key, sources_.now())), scanRecords_(load<ScanHistoryRecord>(scanKey, sources_.now())) {
    recordCurrentCapacity();
}

void StorageHistoryService::recordCurrentCapacity() {
    const Capacity capacity = sources_.capacity();
    // A volume that could not be read says nothing about the day; recording it would replace a real reading.
    if (capacity.total <= 0) return;
    const Instant now = sources_.now();
    const std::int64_t used = std::max<std::int64_t>(0, saturatingDifference(capacity.total, capacity.available));
    const QTimeZone zone = sources_.timeZone();
    const auto today = localDay(now, zone);
    update(key, records_, recordLimit, now, [&](std::vector<StorageRecord>& records) {
        if (!records.empty() && today && localDay(records.back().date, zone) == today) {
            records.back() = StorageRecord{records.back().id, now, used, capacity.available};
        } else {
            records.push_back(StorageRecord{Uuid::random(), now, used, capacity.available});
        }
    });
    emit recordsChanged();
}

void StorageHistoryService::record(const ScanSnapshot& snapshot) {
    ScanHistoryRecord scan{Uuid::random(), snapshot.scannedAt, PathText::display(snapshot.rootPath), snapshot.totalSize, snapshot.fileCount, snapshot.folderCount, {}};
    const size_t count = std::min(snapshot.buckets.size(), bucketLimit);
    for (size_t i = 0; i < count; ++i) {
        const StorageBucket& bucket = snapshot.buckets[i];
        // Names need not be UTF-8; the stored text shows them lossily rather than losing the history.
        const QString path = PathText::display(std::string_view(bucket.path));
        scan.buckets.push_back({path, PathText::display(bucket.name()), path, bucket.size, bucket.fileCount});
    }
    update(scanKey, scanRecords_, scanRecordLimit, sources_.now(), [&](std::vector<ScanHistoryRecord>& records) { records.push_back(std::move(scan)); });
    emit scanRecordsChanged();
}

std::optional<std::pair<const ScanHistoryRecord*, const ScanHistoryRecord*>> StorageHistoryService::latestPair() const {
    if (scanRecords_.empty()) return std::nullopt;
    const QString root = canonical(scanRecords_.back().rootPath);
    const ScanHistoryRecord* current = &scanRecords_.back();
    for (auto it = scanRecords_.rbegin() + 1; it != scanRecords_.rend(); ++it) {
        if (canonical(it->rootPath) == root) return std::pair{&*it, current};
    }
    return std::nullopt;
}

std::optional<std::int64_t> StorageHistoryService::latestScanChange() const {
    auto pair = latestPair();
    if (!pair) return std::nullopt;
    return saturatingDifference(pair->second->totalSize, pair->first->totalSize);
}

std::vector<FolderStorageChange> StorageHistoryService::latestFolderChanges() const {
    auto pair = latestPair();
    if (!pair) return {};
    return folderChanges(*pair->first, *pair->second);
}

std::vector<FolderStorageChange> StorageHistoryService::folderChanges(const ScanHistoryRecord& previous, const ScanHistoryRecord& current) {
    // Paths in the current record's order, then those only the previous record has; a path stored
    // twice in one record counts once, with its first bucket.
    std::vector<FolderStorageChange> changes;
    std::unordered_map<QString, size_t> byPath;
    for (const auto& bucket : current.buckets) {
        if (byPath.try_emplace(canonical(bucket.path), changes.size()).second)
            changes.push_back({bucket.path, bucket.name, bucket.path, 0, bucket.size});
    }
    std::unordered_set<QString> seenInPrevious;
    for (const auto& bucket : previous.buckets) {
        const QString path = canonical(bucket.path);
        if (!seenInPrevious.insert(path).second) continue;
        auto found = byPath.find(path);
        if (found != byPath.end()) {
            changes[found->second].previousSize = bucket.size;
        } else {
            changes.push_back({bucket.path, bucket.name, bucket.path, bucket.size, 0});
        }
    }
    std::erase_if(changes, [](const FolderStorageChange& change) { return change.currentSize == change.previousSize; });
    std::stable_sort(changes.begin(), changes.end(), [](const auto& a, const auto& b) { return changeMagnitude(a) > changeMagnitude(b); });
    return changes;
}
