#include "Services/StorageHistoryService.h"

#include "Foundation/PathText.h"
#include "Foundation/SaturatingSum.h"
#include "Platform/SettingsStore.h"
#include "Platform/SettingsText.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_map>
#include <unordered_set>

namespace {

const QString historyKey = QStringLiteral("storageHistory.v1");
const QString scanKey = QStringLiteral("scanHistory.v1");

// A value set aside is kept to this many bytes, like a list: see historyByteLimit.
constexpr qsizetype setAsideByteLimit = StorageHistoryService::historyByteLimit;

// The settings file writes a history's bytes escaped, each byte as at most four characters. Both
// lists and the copy set aside of each must stay readable with room to spare for everything else.
static_assert(4 * (2 * StorageHistoryService::historyByteLimit + 2 * setAsideByteLimit) + 1024 * 1024 <= SettingsText::byteLimit);

// A history that cannot be read as a whole, or held records that cannot be real, is moved to
// "<key>.unreadable" before the list goes on without them, so damage never costs the days it held
// unseen. Moved, not copied: a value left in place would be set aside again at every launch. One
// copy per list, the latest damage, and only its first part: damage found again and again must not
// grow the file past what it can read back.
void setAside(const QString& storedKey, const QVariant& value) {
    SettingsStore& store = SettingsStore::shared();
    store.setValue(storedKey + ".unreadable", value.toByteArray().left(setAsideByteLimit));
    store.remove(storedKey);
}

// Before 2000 no clock that wrote a record can have been; the end of year 9999 is as far as a
// calendar day can be told.
constexpr Instant earliestRecordDate = Instant::fromUnixSeconds(946'684'800);  // 2000-01-01 UTC
constexpr Instant latestRecordDate = Instant::fromUnixSeconds(253'402'300'799);  // 9999-12-31 UTC

// No disk holds more than 2^60 bytes, nor that many files.
constexpr std::int64_t largestFigure = std::int64_t(1) << 60;

// Whether a record could have been written by some clock, however wrong: a clock set back or ahead
// still gives a date in range, so a record is never judged by the time now.
bool possibleDate(Instant date) {
    return date >= earliestRecordDate && date <= latestRecordDate;
}

bool possibleFigure(std::int64_t figure) { return figure >= 0 && figure <= largestFigure; }

// A capacity record that a volume could have given: figures a disk can hold and a capacity (used
// plus available) above zero.
bool possible(const StorageRecord& record) {
    return possibleDate(record.date) && possibleFigure(record.used) && possibleFigure(record.available) && record.used + record.available > 0;
}

bool possible(const ScanHistoryRecord& record) {
    if (!possibleDate(record.date) || !possibleFigure(record.totalSize) || !possibleFigure(record.fileCount) || !possibleFigure(record.folderCount))
        return false;
    return std::ranges::all_of(record.buckets, [](const StoredStorageBucket& bucket) { return possibleFigure(bucket.size) && possibleFigure(bucket.fileCount); });
}

// A stored list as read: its records that can be real, and whether it held any that cannot.
template <typename Record>
struct StoredList {
    std::vector<Record> records;
    bool droppedImpossible = false;
};

// The list a stored value holds: empty for none, nothing when it is no list at all. A record that
// cannot be decoded, or whose figures cannot be real, is left out alone; the others stay.
template <typename Record>
std::optional<StoredList<Record>> decodedList(const QVariant& stored) {
    if (!stored.isValid()) return StoredList<Record>();
    const QJsonDocument document = QJsonDocument::fromJson(stored.toByteArray());
    if (!document.isArray()) return std::nullopt;
    StoredList<Record> list;
    for (const auto& item : document.array()) {
        auto record = Record::fromJson(item);
        if (record && possible(*record)) {
            list.records.push_back(std::move(*record));
        } else {
            list.droppedImpossible = true;
        }
    }
    return list;
}

QByteArray encoded(const QJsonObject& object) { return QJsonDocument(object).toJson(QJsonDocument::Compact); }

// The stored value of a list: its newest records, at most `limit` of them and within
// historyByteLimit bytes, oldest dropped first. `records` is cut to what is stored.
template <typename Record>
QByteArray encodedWithin(std::vector<Record>& records, size_t limit) {
    std::vector<QByteArray> items;
    items.reserve(records.size());
    for (const auto& record : records) items.push_back(encoded(record.toJson()));
    // "[" and "]", and a comma between two items.
    qsizetype bytes = 1;
    size_t first = items.size();
    while (first > 0 && items.size() - first < limit && bytes + items[first - 1].size() + 1 <= StorageHistoryService::historyByteLimit) {
        --first;
        bytes += items[first].size() + 1;
    }
    records.erase(records.begin(), records.begin() + static_cast<std::ptrdiff_t>(first));
    QByteArray value;
    value.reserve(bytes);
    value.append('[');
    for (size_t i = first; i < items.size(); ++i) {
        if (i > first) value.append(',');
        value.append(items[i]);
    }
    value.append(']');
    return value;
}

// A list with records that cannot be real is set aside as it was, like an undecodable one, and the
// rest is stored again without them.
template <typename Record>
std::vector<Record> load(const QString& storedKey, size_t limit) {
    const QVariant stored = SettingsStore::shared().value(storedKey);
    auto list = decodedList<Record>(stored);
    if (!list) {
        setAside(storedKey, stored);
        return {};
    }
    if (list->droppedImpossible) {
        setAside(storedKey, stored);
        SettingsStore::shared().setValue(storedKey, encodedWithin(list->records, limit));
    }
    return std::move(list->records);
}

// Changes the list as it is stored now, not as this process last saw it: another process may
// have added to it since. A stored value that cannot be decoded gives way to `current`.
template <typename Record, typename Change>
void update(const QString& storedKey, std::vector<Record>& current, size_t limit, Change&& change) {
    SettingsStore::shared().update(storedKey, [&](const QVariant& stored) -> std::optional<QVariant> {
        auto list = decodedList<Record>(stored);
        std::vector<Record> records = list ? std::move(list->records) : current;
        change(records);
        QByteArray value = encodedWithin(records, limit);
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
    : QObject(parent), sources_(std::move(sources)), records_(load<StorageRecord>(historyKey, recordLimit)), scanRecords_(load<ScanHistoryRecord>(scanKey, scanRecordLimit)) {
    recordCurrentCapacity();
}

void StorageHistoryService::recordCurrentCapacity() {
    const Capacity capacity = sources_.capacity();
    // Stored as it always was, total less available, so that every build reads it alike; the
    // blocks kept for root go beside it.
    const std::int64_t used = std::max<std::int64_t>(0, saturatingDifference(capacity.total, capacity.available));
    const std::int64_t reserved = capacity.reserved();
    // A volume that could not be read says nothing about the day; recording it would replace a real
    // reading. Nor is a figure no disk can have recorded: it could not be read back.
    if (capacity.total <= 0 || !possibleFigure(used) || !possibleFigure(capacity.available)) return;
    const Instant now = sources_.now();
    const QTimeZone zone = sources_.timeZone();
    const auto today = localDay(now, zone);
    update(historyKey, records_, recordLimit, [&](std::vector<StorageRecord>& records) {
        if (!records.empty() && today && localDay(records.back().date, zone) == today) {
            records.back() = StorageRecord{records.back().id, std::max(now, records.back().date), used, capacity.available, reserved};
        } else if (!records.empty() && now < records.back().date) {
            // A clock behind the newest record (a dead clock battery, a board before its time is
            // set) cannot date today's reading: it goes to the newest record, which keeps its date,
            // so the list stays in order and the clock set right again goes on from there.
            records.back() = StorageRecord{records.back().id, records.back().date, used, capacity.available, reserved};
        } else if (possibleDate(now)) {
            records.push_back(StorageRecord{Uuid::random(), now, used, capacity.available, reserved});
        }
    });
    emit recordsChanged();
}

std::vector<std::int64_t> StorageHistoryService::usedBytes(const std::vector<StorageRecord>& records) {
    std::vector<std::int64_t> used(records.size());
    std::int64_t reserved = 0;
    for (std::size_t index = records.size(); index-- > 0;) {
        if (records[index].reserved) reserved = std::max<std::int64_t>(*records[index].reserved, 0);
        used[index] = std::max<std::int64_t>(records[index].used - reserved, 0);
    }
    return used;
}

void StorageHistoryService::record(const ScanSnapshot& snapshot) {
    // A scan made while the clock stood before 2000 is still kept, dated as early as a record can be.
    const Instant date = std::clamp(snapshot.scannedAt, earliestRecordDate, latestRecordDate);
    ScanHistoryRecord scan{Uuid::random(), date, PathText::display(snapshot.rootPath), snapshot.totalSize, snapshot.fileCount, snapshot.folderCount, {},
                           snapshot.includesHiddenFiles};
    const size_t count = std::min(snapshot.buckets.size(), bucketLimit);
    for (size_t i = 0; i < count; ++i) {
        const StorageBucket& bucket = snapshot.buckets[i];
        // Names need not be UTF-8; the stored text shows them lossily rather than losing the history.
        const QString path = PathText::display(std::string_view(bucket.path));
        scan.buckets.push_back({path, PathText::display(bucket.name()), path, bucket.size, bucket.fileCount});
    }
    // The smallest buckets give way to keep one record well within the list's bytes.
    while (!scan.buckets.empty() && encoded(scan.toJson()).size() > scanRecordByteLimit) scan.buckets.pop_back();
    update(scanKey, scanRecords_, scanRecordLimit, [&](std::vector<ScanHistoryRecord>& records) { records.push_back(std::move(scan)); });
    emit scanRecordsChanged();
}

StorageHistoryService::LatestScans StorageHistoryService::latestScans() const {
    LatestScans latest;
    if (scanRecords_.empty()) return latest;
    latest.current = &scanRecords_.back();
    const QString root = canonical(latest.current->rootPath);
    for (auto it = scanRecords_.rbegin() + 1; it != scanRecords_.rend() && !latest.sameSetting; ++it) {
        if (canonical(it->rootPath) != root) continue;
        const ScanHistoryRecord*& found = it->countsHardLinksOnce != latest.current->countsHardLinksOnce ? latest.otherHardLinkCount
                                          : it->includesHiddenFiles != latest.current->includesHiddenFiles ? latest.otherHiddenSetting
                                                                                                          : latest.sameSetting;
        if (!found) found = &*it;
    }
    return latest;
}

std::optional<std::int64_t> StorageHistoryService::latestScanChange() const {
    const LatestScans latest = latestScans();
    if (!latest.sameSetting) return std::nullopt;
    return saturatingDifference(latest.current->totalSize, latest.sameSetting->totalSize);
}

std::vector<FolderStorageChange> StorageHistoryService::latestFolderChanges() const {
    const LatestScans latest = latestScans();
    if (!latest.sameSetting) return {};
    return folderChanges(*latest.sameSetting, *latest.current);
}

bool StorageHistoryService::latestScanDiffersInHiddenFiles() const {
    const LatestScans latest = latestScans();
    return !latest.sameSetting && latest.otherHiddenSetting;
}

bool StorageHistoryService::latestScanDiffersInHardLinks() const {
    const LatestScans latest = latestScans();
    return !latest.sameSetting && !latest.otherHiddenSetting && latest.otherHardLinkCount;
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
