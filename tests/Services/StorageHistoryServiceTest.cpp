#include "Platform/SettingsStore.h"
#include "Platform/SettingsText.h"
#include "Services/StorageHistoryService.h"

#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>

#include <algorithm>
#include <functional>
#include <limits>

#include <gtest/gtest.h>

namespace {

const QString historyKey = "storageHistory.v1";
const QString scanKey = "scanHistory.v1";

Instant utc(int year, int month, int day, int hour, int minute) {
    return Instant::fromUnixSeconds(double(QDateTime(QDate(year, month, day), QTime(hour, minute), Qt::UTC).toSecsSinceEpoch()));
}

class StorageHistoryServiceTest : public ::testing::Test {
protected:
    void SetUp() override { clearStore(); }
    void TearDown() override { clearStore(); }

    static void clearStore() {
        for (const QString& stored : {historyKey, scanKey})
            for (const QString& suffix : QStringList{"", ".unreadable", ".unreadable.2", ".unreadable.3"}) SettingsStore::shared().remove(stored + suffix);
    }

    // The sources read the fixture's fields at each call, so a test moves the clock between calls.
    StorageHistoryService::Sources sources() {
        return {[this] { return capacity; }, [this] { return now; }, [this] { return zone; }};
    }

    static std::vector<StorageRecord> storedRecords() {
        std::vector<StorageRecord> records;
        for (const auto& item : QJsonDocument::fromJson(SettingsStore::shared().value(historyKey).toByteArray()).array())
            records.push_back(*StorageRecord::fromJson(item));
        return records;
    }

    static ScanSnapshot snapshot(const std::string& root, std::int64_t total, std::vector<std::pair<std::string, std::int64_t>> folders = {}) {
        ScanSnapshot scan;
        scan.rootPath = root;
        scan.totalSize = total;
        scan.fileCount = 3;
        scan.folderCount = 2;
        scan.scannedAt = Instant::fromReferenceSeconds(1000.25);
        for (const auto& [name, size] : folders) scan.buckets.push_back({root + "/" + name, size, 1});
        return scan;
    }

    StorageHistoryService::Capacity capacity{1000, 400};
    Instant now = utc(2024, 3, 10, 12, 0);
    QTimeZone zone = QTimeZone::utc();
};

}  // namespace

TEST_F(StorageHistoryServiceTest, FirstLaunchRecordsTodayAndWritesOnlyTheCapacityHistory) {
    StorageHistoryService history(sources());
    ASSERT_EQ(history.records().size(), 1u);
    EXPECT_EQ(history.records()[0].used, 600);
    EXPECT_EQ(history.records()[0].available, 400);
    EXPECT_EQ(history.records()[0].date, now);
    EXPECT_EQ(storedRecords(), history.records());
    EXPECT_FALSE(SettingsStore::shared().value(historyKey).toByteArray().contains(' '));  // compact
    EXPECT_TRUE(history.scanRecords().empty());
    EXPECT_FALSE(SettingsStore::shared().contains(scanKey));

    // More available than in total (a volume reporting oddly) never gives negative use.
    capacity = {100, 250};
    history.recordCurrentCapacity();
    EXPECT_EQ(history.records().back().used, 0);
}

// Tokyo is nine hours ahead of UTC and New York five hours behind: the day is the user's, not UTC's.
TEST_F(StorageHistoryServiceTest, OneRecordPerLocalCalendarDay) {
    zone = QTimeZone(9 * 3600);
    now = utc(2024, 3, 10, 14, 30);  // 23:30 in Tokyo
    StorageHistoryService history(sources());
    const Uuid first = history.records()[0].id;

    now = utc(2024, 3, 10, 14, 50);  // 23:50: same day, the record is updated in place
    capacity = {1000, 300};
    QSignalSpy changed(&history, &StorageHistoryService::recordsChanged);
    history.recordCurrentCapacity();
    EXPECT_EQ(changed.count(), 1);
    ASSERT_EQ(history.records().size(), 1u);
    EXPECT_EQ(history.records()[0].id, first);
    EXPECT_EQ(history.records()[0].date, now);
    EXPECT_EQ(history.records()[0].available, 300);

    now = utc(2024, 3, 10, 15, 30);  // 00:30 the next day in Tokyo, still March 10 in UTC
    history.recordCurrentCapacity();
    ASSERT_EQ(history.records().size(), 2u);
    EXPECT_NE(history.records()[1].id, first);

    // A later launch on the same local day replaces that day's record only.
    zone = QTimeZone(-5 * 3600);
    now = utc(2024, 3, 11, 23, 30);  // 18:30 in New York on March 11
    StorageHistoryService relaunched(sources());
    ASSERT_EQ(relaunched.records().size(), 3u);
    const Uuid eleventh = relaunched.records()[2].id;
    now = utc(2024, 3, 12, 0, 30);  // March 12 in UTC, 19:30 on March 11 in New York
    StorageHistoryService again(sources());
    ASSERT_EQ(again.records().size(), 3u);
    EXPECT_EQ(again.records()[2].id, eleventh);
    EXPECT_EQ(storedRecords(), again.records());
}

TEST_F(StorageHistoryServiceTest, KeepsTheNewest365Days) {
    QJsonArray stored;
    for (int day = 0; day < 366; ++day)
        stored.append(StorageRecord{Uuid::random(), utc(2020, 1, 1, 12, 0).addingSeconds(day * 86400.0), day, 1}.toJson());
    SettingsStore::shared().setValue(historyKey, QJsonDocument(stored).toJson());

    StorageHistoryService history(sources());  // 2024: a new day, 367 records cut to 365
    ASSERT_EQ(history.records().size(), 365u);
    EXPECT_EQ(history.records().front().used, 2);
    EXPECT_EQ(history.records().back().date, now);
    EXPECT_EQ(storedRecords().size(), 365u);

    now = now.addingSeconds(86400);
    history.recordCurrentCapacity();
    ASSERT_EQ(history.records().size(), 365u);
    EXPECT_EQ(history.records().front().used, 3);
}

TEST_F(StorageHistoryServiceTest, AFailedCapacityReadingIsNotRecorded) {
    StorageHistoryService history(sources());
    const std::vector<StorageRecord> good = history.records();
    capacity = {0, 0};
    now = now.addingSeconds(60);
    history.recordCurrentCapacity();
    EXPECT_EQ(history.records(), good);
    EXPECT_EQ(storedRecords(), good);

    SettingsStore::shared().remove(historyKey);
    StorageHistoryService unreadable(sources());
    EXPECT_TRUE(unreadable.records().empty());
    EXPECT_FALSE(SettingsStore::shared().contains(historyKey));
}

TEST_F(StorageHistoryServiceTest, UndecodableValuesAreSetAsideNotDestroyed) {
    const QByteArray wrongType = R"([{"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","date":1,"used":"1","available":2}])";
    SettingsStore::shared().setValue(historyKey, wrongType);
    SettingsStore::shared().setValue(historyKey + ".unreadable", QByteArray("older damage"));
    SettingsStore::shared().setValue(scanKey, QByteArray("{not json"));

    StorageHistoryService history(sources());
    EXPECT_EQ(history.records().size(), 1u);
    EXPECT_TRUE(history.scanRecords().empty());
    // One copy a list, the latest damage: damage found again and again cannot grow the file.
    EXPECT_EQ(SettingsStore::shared().value(historyKey + ".unreadable").toByteArray(), wrongType);
    EXPECT_FALSE(SettingsStore::shared().contains(historyKey + ".unreadable.2"));
    EXPECT_EQ(SettingsStore::shared().value(scanKey + ".unreadable").toByteArray(), "{not json");
    EXPECT_EQ(storedRecords(), history.records());

    // An object where an array belongs is just as undecodable.
    SettingsStore::shared().setValue(scanKey, QByteArray("{}"));
    SettingsStore::shared().remove(scanKey + ".unreadable");
    StorageHistoryService again(sources());
    EXPECT_EQ(SettingsStore::shared().value(scanKey + ".unreadable").toByteArray(), "{}");
}

TEST_F(StorageHistoryServiceTest, AnUndecodableValueIsSetAsideOnceNotAtEveryLaunch) {
    // No scan and no capacity reading between launches: nothing rewrites the damaged values.
    capacity = {0, 0};
    SettingsStore::shared().setValue(historyKey, QByteArray("[damaged"));
    SettingsStore::shared().setValue(scanKey, QByteArray("{not json"));
    for (int launch = 0; launch < 3; ++launch) StorageHistoryService history(sources());
    EXPECT_EQ(SettingsStore::shared().value(historyKey + ".unreadable").toByteArray(), "[damaged");
    EXPECT_EQ(SettingsStore::shared().value(scanKey + ".unreadable").toByteArray(), "{not json");
    EXPECT_FALSE(SettingsStore::shared().contains(historyKey + ".unreadable.2"));
    EXPECT_FALSE(SettingsStore::shared().contains(scanKey + ".unreadable.2"));
    EXPECT_FALSE(SettingsStore::shared().contains(historyKey));
    EXPECT_FALSE(SettingsStore::shared().contains(scanKey));
}

TEST_F(StorageHistoryServiceTest, ScanRecordsRoundTripWithTheirLimits) {
    StorageHistoryService history(sources());
    std::vector<std::pair<std::string, std::int64_t>> hundred;
    for (int i = 0; i < 100; ++i) hundred.emplace_back("folder" + std::to_string(i), 1000 - i);
    // Linux names need not be UTF-8; such a folder must not keep the history from being saved.
    hundred[1].first = "bad\xff\xfename";

    QSignalSpy changed(&history, &StorageHistoryService::scanRecordsChanged);
    history.record(snapshot("/home/u", 5000, hundred));
    history.record(snapshot("/home/u/empty", 0));
    EXPECT_EQ(changed.count(), 2);

    const ScanHistoryRecord& full = history.scanRecords()[0];
    ASSERT_EQ(full.buckets.size(), 40u);
    EXPECT_EQ(full.buckets[0], (StoredStorageBucket{"/home/u/folder0", "folder0", "/home/u/folder0", 1000, 1}));
    EXPECT_EQ(full.buckets[39].name, "folder39");
    EXPECT_EQ(full.buckets[1].name, QString::fromUtf8("bad\xff\xfename"));
    EXPECT_EQ(full.rootPath, "/home/u");
    EXPECT_EQ(full.date, Instant::fromReferenceSeconds(1000.25));
    EXPECT_EQ(full.totalSize, 5000);
    EXPECT_EQ(full.fileCount, 3);
    EXPECT_EQ(full.folderCount, 2);
    EXPECT_TRUE(history.scanRecords()[1].buckets.empty());

    StorageHistoryService reloaded(sources());
    EXPECT_EQ(reloaded.scanRecords(), history.scanRecords());
    EXPECT_EQ(reloaded.records(), history.records());

    for (int i = 0; i < 89; ++i) reloaded.record(snapshot("/scan" + std::to_string(i), i));
    ASSERT_EQ(reloaded.scanRecords().size(), 90u);
    EXPECT_EQ(reloaded.scanRecords().front().rootPath, "/home/u/empty");
    EXPECT_EQ(StorageHistoryService(sources()).scanRecords().size(), 90u);
}

TEST_F(StorageHistoryServiceTest, LatestChangeComparesTheTwoLatestScansOfTheLastFolder) {
    StorageHistoryService history(sources());
    EXPECT_FALSE(history.latestScanChange());
    history.record(snapshot("/a", 5000, {{"big", 100}, {"same", 7}, {"gone", 30}}));
    EXPECT_FALSE(history.latestScanChange());
    EXPECT_TRUE(history.latestFolderChanges().empty());
    history.record(snapshot("/b", 1));
    history.record(snapshot("/b", 2));
    history.record(snapshot("/c", 1));
    EXPECT_FALSE(history.latestScanChange());  // /c once, though /b twice

    // The same folder written in decomposed form is the same folder.
    history.record(snapshot("/a", 3000, {{"big", 110}, {"same", 7}, {"new", 20}}));
    history.record(snapshot(QString("/c").toStdString(), 1));
    history.record(snapshot(QString::fromUtf8("/caf\u00e9").toStdString(), 10));
    history.record(snapshot(QString::fromUtf8("/cafe\u0301").toStdString(), 25));
    EXPECT_EQ(history.latestScanChange(), 15);

    history.record(snapshot("/a", 3000, {{"big", 110}, {"same", 7}, {"new", 20}}));
    const ScanHistoryRecord& earlier = history.scanRecords()[4];
    const ScanHistoryRecord& later = history.scanRecords().back();
    EXPECT_EQ(*history.latestScanChange(), 0);
    const auto changes = StorageHistoryService::folderChanges(history.scanRecords()[0], earlier);
    ASSERT_EQ(changes.size(), 3u);  // "same" did not change
    EXPECT_EQ(changes[0], (FolderStorageChange{"/a/gone", "gone", "/a/gone", 30, 0}));
    EXPECT_EQ(changes[1], (FolderStorageChange{"/a/new", "new", "/a/new", 0, 20}));
    EXPECT_EQ(changes[2], (FolderStorageChange{"/a/big", "big", "/a/big", 100, 110}));
    EXPECT_TRUE(StorageHistoryService::folderChanges(earlier, later).empty());
    EXPECT_EQ(history.latestFolderChanges(), StorageHistoryService::folderChanges(earlier, later));
}

TEST_F(StorageHistoryServiceTest, FolderChangesOrderAndOddRecords) {
    ScanHistoryRecord previous, current;
    previous.buckets = {{"/r/a", "a", "/r/a", 100, 1}, {"/r/b", "b", "/r/b", 100, 1}, {"/r/c", "old c", "/r/c", 100, 1}};
    current.buckets = {{"/r/a", "a", "/r/a", 110, 1}, {"/r/b", "b", "/r/b", 70, 1}, {"/r/c", "new c", "/r/c", 120, 1}};
    auto changes = StorageHistoryService::folderChanges(previous, current);
    ASSERT_EQ(changes.size(), 3u);
    EXPECT_EQ(changes[0].currentSize - changes[0].previousSize, -30);
    EXPECT_EQ(changes[1].currentSize - changes[1].previousSize, 20);
    EXPECT_EQ(changes[1].name, "new c");
    EXPECT_EQ(changes[2].currentSize - changes[2].previousSize, 10);

    // A path stored twice and sizes at the very ends of the range are taken without failing.
    previous.buckets = {{"/r/x", "x", "/r/x", std::numeric_limits<std::int64_t>::min(), 1}, {"/r/x", "x", "/r/x", 5, 1}};
    current.buckets = {{"/r/x", "x", "/r/x", std::numeric_limits<std::int64_t>::max(), 1}, {"/r/y", "y", "/r/y", 1, 1}};
    changes = StorageHistoryService::folderChanges(previous, current);
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[0].path, "/r/x");
    EXPECT_EQ(changes[0].previousSize, std::numeric_limits<std::int64_t>::min());
}

// Two running instances each hold a copy of the lists; each change is made to the list as stored,
// so neither overwrites the other's records.
TEST_F(StorageHistoryServiceTest, TwoInstancesKeepEachOthersRecords) {
    StorageHistoryService first(sources());
    StorageHistoryService second(sources());
    first.record(snapshot("/home/u", 100));
    second.record(snapshot("/home/u", 200));
    now = utc(2024, 3, 11, 9, 0);
    first.recordCurrentCapacity();
    now = utc(2024, 3, 12, 9, 0);
    second.recordCurrentCapacity();

    const StorageHistoryService reloaded(sources());
    ASSERT_EQ(reloaded.scanRecords().size(), 2u);
    EXPECT_EQ(reloaded.scanRecords()[0].totalSize, 100);
    EXPECT_EQ(reloaded.scanRecords()[1].totalSize, 200);
    EXPECT_EQ(reloaded.records().size(), 3u);
    EXPECT_EQ(second.latestScanChange(), 100);
}

// Figures no volume or scan can give (a damaged or hand-edited store) are dropped on load, the stored
// value is kept aside as it was, and what is left compares without overflowing.
// A record is dropped alone, for what no clock can explain: a date before 2000 or past any calendar,
// a negative figure or one beyond any disk, a member of the wrong type or missing. A date ahead of
// the clock now is no such thing: the clock may be the one that is wrong.
TEST_F(StorageHistoryServiceTest, RecordsThatCannotBeRealAreDroppedOneByOneOnLoad) {
    constexpr std::int64_t least = std::numeric_limits<std::int64_t>::min();
    constexpr std::int64_t beyondAnyDisk = (std::int64_t(1) << 60) + 1;
    const StorageRecord good{Uuid::random(), utc(2024, 3, 1, 12, 0), 500, 500};
    const StorageRecord aheadByDays{Uuid::random(), now.addingSeconds(-2 * 86400.0), 700, 300};
    const StorageRecord aheadByHours{Uuid::random(), now.addingSeconds(6 * 3600.0), 600, 400};
    QJsonArray stored{good.toJson()};
    for (const StorageRecord& impossible : {StorageRecord{Uuid::random(), Instant::fromReferenceSeconds(-9e12), 1, 1},
                                            StorageRecord{Uuid::random(), Instant::fromReferenceSeconds(9e12), 1, 1},
                                            StorageRecord{Uuid::random(), utc(1999, 12, 31, 23, 0), 1, 1},
                                            StorageRecord{Uuid::random(), good.date, least, 1},
                                            StorageRecord{Uuid::random(), good.date, 9'223'372'036'854'775'000, 1},
                                            StorageRecord{Uuid::random(), good.date, beyondAnyDisk, 1},
                                            StorageRecord{Uuid::random(), good.date, 10, -5},
                                            StorageRecord{Uuid::random(), good.date, 0, 0}})
        stored.append(impossible.toJson());
    QJsonObject fraction = good.toJson(), text = good.toJson(), missing = good.toJson();
    fraction["used"] = 1.5;
    text["used"] = "500";
    missing.remove("available");
    stored.append(fraction);
    stored.append(text);
    stored.append(missing);
    stored.append(aheadByDays.toJson());
    stored.append(aheadByHours.toJson());
    const QByteArray original = QJsonDocument(stored).toJson(QJsonDocument::Compact);
    SettingsStore::shared().setValue(historyKey, original);

    ScanHistoryRecord earlier{Uuid::random(), utc(2024, 3, 1, 9, 0), "/a", 5000, 3, 2, {{"/a/x", "x", "/a/x", 100, 1}}};
    ScanHistoryRecord later = earlier;
    later.id = Uuid::random();
    later.totalSize = 3000;
    ScanHistoryRecord inTwoYears = later;
    inTwoYears.id = Uuid::random();
    inTwoYears.date = utc(2026, 3, 1, 9, 0);
    inTwoYears.totalSize = 4000;
    QJsonArray scans{earlier.toJson(), later.toJson()};
    for (auto damage : std::vector<std::function<void(ScanHistoryRecord&)>>{
             [&](ScanHistoryRecord& r) { r.totalSize = least; }, [&](ScanHistoryRecord& r) { r.totalSize = -1; },
             [&](ScanHistoryRecord& r) { r.date = Instant::fromReferenceSeconds(9e12); }, [&](ScanHistoryRecord& r) { r.fileCount = -3; },
             [&](ScanHistoryRecord& r) { r.buckets[0].size = least; }, [&](ScanHistoryRecord& r) { r.buckets[0].size = beyondAnyDisk; }}) {
        ScanHistoryRecord damaged = later;
        damaged.id = Uuid::random();
        damage(damaged);
        scans.append(damaged.toJson());
    }
    QJsonObject fractionalCount = later.toJson();
    fractionalCount["fileCount"] = 2.5;
    scans.append(fractionalCount);
    scans.append(inTwoYears.toJson());
    SettingsStore::shared().setValue(scanKey, QJsonDocument(scans).toJson(QJsonDocument::Compact));

    StorageHistoryService history(sources());
    ASSERT_EQ(history.records().size(), 3u);  // today's capture replaced the one a few hours ahead: the same day
    EXPECT_EQ(history.records()[0], good);
    EXPECT_EQ(history.records()[1], aheadByDays);
    EXPECT_EQ(history.records()[2].id, aheadByHours.id);
    EXPECT_EQ(history.records()[2].date, aheadByHours.date);
    EXPECT_EQ(storedRecords(), history.records());
    EXPECT_EQ(SettingsStore::shared().value(historyKey + ".unreadable").toByteArray(), original);
    ASSERT_EQ(history.scanRecords().size(), 3u);
    EXPECT_EQ(history.scanRecords()[2], inTwoYears);
    EXPECT_EQ(history.latestScanChange(), 1000);
    EXPECT_TRUE(history.latestFolderChanges().empty());

    // Dropped once: the next launch finds nothing more to set aside.
    SettingsStore::shared().remove(historyKey + ".unreadable");
    SettingsStore::shared().remove(scanKey + ".unreadable");
    StorageHistoryService relaunched(sources());
    EXPECT_EQ(relaunched.records(), history.records());
    EXPECT_EQ(relaunched.scanRecords(), history.scanRecords());
    EXPECT_FALSE(SettingsStore::shared().contains(historyKey + ".unreadable"));
    EXPECT_FALSE(SettingsStore::shared().contains(scanKey + ".unreadable"));
}

// A clock two years behind (a dead clock battery) and then set right: both histories stay whole,
// the readings made meanwhile go to the newest capacity record and to the end of the scans, and
// the clock set right goes on after them.
TEST_F(StorageHistoryServiceTest, AClockSetBackAndForwardAgainKeepsBothHistories) {
    StorageHistoryService first(sources());
    for (int day = 1; day <= 30; ++day) {
        now = now.addingSeconds(86400);
        capacity.available = 400 - day;
        first.recordCurrentCapacity();
        ScanSnapshot scan = snapshot("/home/u", 1000 + day, {{"a", day}});
        scan.scannedAt = now;
        first.record(scan);
    }
    const std::vector<StorageRecord> days = first.records();
    const std::vector<ScanHistoryRecord> scans = first.scanRecords();
    ASSERT_EQ(days.size(), 31u);
    const Instant rightNow = now;

    now = utc(2022, 4, 9, 12, 0);
    capacity.available = 123;
    StorageHistoryService behind(sources());
    ASSERT_EQ(behind.records().size(), 31u);
    EXPECT_EQ(std::vector(behind.records().begin(), behind.records().end() - 1), std::vector(days.begin(), days.end() - 1));
    EXPECT_EQ(behind.records().back().id, days.back().id);
    EXPECT_EQ(behind.records().back().date, days.back().date);
    EXPECT_EQ(behind.records().back().available, 123);
    EXPECT_EQ(behind.scanRecords(), scans);
    ScanSnapshot scan = snapshot("/home/u", 5000, {{"a", 99}});
    scan.scannedAt = now;
    behind.record(scan);
    ASSERT_EQ(behind.scanRecords().size(), 31u);
    EXPECT_EQ(behind.latestScanChange(), 5000 - 1030);
    EXPECT_FALSE(SettingsStore::shared().contains(historyKey + ".unreadable"));
    EXPECT_FALSE(SettingsStore::shared().contains(scanKey + ".unreadable"));

    // Even a board that starts in 1970 keeps its scan, dated as early as a record can be.
    now = Instant::fromUnixSeconds(3600);
    scan.scannedAt = now;
    StorageHistoryService at1970(sources());
    at1970.record(scan);
    ASSERT_EQ(at1970.records().size(), 31u);
    ASSERT_EQ(at1970.scanRecords().size(), 32u);

    now = rightNow.addingSeconds(86400);
    StorageHistoryService setRight(sources());
    ASSERT_EQ(setRight.records().size(), 32u);
    EXPECT_EQ(setRight.records().back().date, now);
    EXPECT_TRUE(std::ranges::is_sorted(setRight.records(), {}, &StorageRecord::date));
    ASSERT_EQ(setRight.scanRecords().size(), 32u);
    EXPECT_EQ(std::vector(setRight.scanRecords().begin(), setRight.scanRecords().begin() + 30), scans);
    EXPECT_EQ(setRight.scanRecords().back().totalSize, 5000);
    EXPECT_EQ(storedRecords(), setRight.records());
}

// Names in a script of several bytes a character, three times in each of 40 buckets, scan after
// scan: the file stays within what it can read back, the newest scans kept and the oldest dropped.
TEST_F(StorageHistoryServiceTest, HistoriesStayWithinWhatTheSettingsFileReadsBack) {
    std::string longName;
    for (int i = 0; i < 20; ++i) longName += "\xd8\xaa\xd8\xae\xd8\xb2\xd9\x8a\xd9\x86-\xe6\x96\x87\xe4\xbb\xb6";
    std::vector<std::pair<std::string, std::int64_t>> folders;
    for (int i = 0; i < 40; ++i) folders.emplace_back(longName + "/" + longName + std::to_string(i), 1000 - i);
    StorageHistoryService history(sources());
    Uuid newest;
    for (int scan = 0; scan < 30; ++scan) {
        history.record(snapshot("/home/" + longName, scan, folders));
        newest = history.scanRecords().back().id;
    }
    const QByteArray stored = SettingsStore::shared().value(scanKey).toByteArray();
    EXPECT_LE(stored.size(), StorageHistoryService::historyByteLimit);

    QFile file(SettingsStore::shared().filePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_LE(text.size(), SettingsText::byteLimit);
    EXPECT_FALSE(SettingsText::judge(text).damaged);

    StorageHistoryService relaunched(sources());
    ASSERT_FALSE(relaunched.scanRecords().empty());
    EXPECT_LT(relaunched.scanRecords().size(), 30u);
    EXPECT_EQ(relaunched.scanRecords().back().id, newest);
    EXPECT_EQ(relaunched.scanRecords().back().buckets.size(), 40u);
    EXPECT_EQ(relaunched.latestScanChange(), 1);

    // One scan alone too large for a record keeps its largest buckets.
    std::string longest;
    while (longest.size() < 4000) longest += "\xe6\x96\x87";
    std::vector<std::pair<std::string, std::int64_t>> deep;
    for (int i = 0; i < 40; ++i) deep.emplace_back(longest + "/" + std::to_string(i), 1000 - i);
    relaunched.record(snapshot("/deep", 1, deep));
    const ScanHistoryRecord& kept = relaunched.scanRecords().back();
    EXPECT_GT(kept.buckets.size(), 0u);
    EXPECT_LT(kept.buckets.size(), 40u);
    EXPECT_EQ(kept.buckets.front().size, 1000);
    EXPECT_LE(QJsonDocument(kept.toJson()).toJson(QJsonDocument::Compact).size(), StorageHistoryService::scanRecordByteLimit);
}

// A scan with hidden files counted and the next without: nothing was freed, so nothing is compared.
// A scan is compared with the newest earlier scan of its folder made with the same setting, past
// scans made the other way and scans of other folders.
TEST_F(StorageHistoryServiceTest, ScansAreComparedOnlyWithScansOfTheSameFolderAndSettingForHiddenFiles) {
    StorageHistoryService history(sources());
    auto scan = [&](const std::string& root, std::int64_t total, bool hidden, std::vector<std::pair<std::string, std::int64_t>> folders = {}) {
        ScanSnapshot made = snapshot(root, total, std::move(folders));
        made.includesHiddenFiles = hidden;
        history.record(made);
    };
    scan("/home/u", 31'100, true, {{"Documents", 20'000}, {".cache", 6'000}, {".wine", 4'000}, {".local", 1'100}});
    EXPECT_FALSE(history.latestScanDiffersInHiddenFiles());  // nothing earlier at all
    scan("/home/u", 20'000, false, {{"Documents", 20'000}});
    EXPECT_FALSE(history.latestScanChange());
    EXPECT_TRUE(history.latestFolderChanges().empty());
    EXPECT_TRUE(history.latestScanDiffersInHiddenFiles());
    const StorageHistoryService relaunched(sources());
    EXPECT_EQ(relaunched.scanRecords(), history.scanRecords());
    EXPECT_TRUE(relaunched.scanRecords()[0].includesHiddenFiles);
    EXPECT_FALSE(relaunched.scanRecords()[1].includesHiddenFiles);
    EXPECT_TRUE(relaunched.latestScanDiffersInHiddenFiles());

    scan("/home/u", 32'000, true, {{"Documents", 20'500}, {".cache", 6'400}, {".wine", 4'000}, {".local", 1'100}});
    EXPECT_EQ(history.latestScanChange(), 900);
    EXPECT_FALSE(history.latestScanDiffersInHiddenFiles());
    EXPECT_EQ(history.latestFolderChanges(), (std::vector<FolderStorageChange>{{"/home/u/Documents", "Documents", "/home/u/Documents", 20'000, 20'500},
                                                                               {"/home/u/.cache", ".cache", "/home/u/.cache", 6'000, 6'400}}));
    scan("/home/u", 19'000, false, {{"Documents", 19'000}});
    EXPECT_EQ(history.latestScanChange(), -1'000);
    EXPECT_EQ(history.latestFolderChanges(), (std::vector<FolderStorageChange>{{"/home/u/Documents", "Documents", "/home/u/Documents", 20'000, 19'000}}));

    // Another folder: scanned once, it has nothing to compare and nothing that differs.
    scan("/data", 5, true);
    EXPECT_FALSE(history.latestScanChange());
    EXPECT_FALSE(history.latestScanDiffersInHiddenFiles());
    scan("/home/u", 19'500, false, {{"Documents", 19'500}});
    EXPECT_EQ(history.latestScanChange(), 500);
    scan("/data", 7, false);
    EXPECT_FALSE(history.latestScanChange());
    EXPECT_TRUE(history.latestScanDiffersInHiddenFiles());
    scan("/home/u", 33'000, true, {{"Documents", 21'000}, {".cache", 6'500}, {".wine", 4'000}, {".local", 1'500}});
    EXPECT_EQ(history.latestScanChange(), 1'000);
    EXPECT_EQ(history.latestFolderChanges().size(), 3u);
}

// Records of a build that did not keep the setting are compared by what their hidden top-level
// entries tell, and are written back with the flag when the list is next stored.
TEST_F(StorageHistoryServiceTest, RecordsStoredWithoutTheFlagAreComparedByTheirHiddenTopLevelEntries) {
    QJsonArray stored;
    for (const auto& [total, names] : std::vector<std::pair<std::int64_t, std::vector<QString>>>{{31'100, {"Documents", ".cache"}}, {20'000, {"Documents"}}}) {
        ScanHistoryRecord record{Uuid::random(), utc(2024, 3, 1, 9, 0), "/home/u", total, 1, 1, {}};
        for (const QString& name : names) record.buckets.push_back({"/home/u/" + name, name, "/home/u/" + name, total / 2, 1});
        QJsonObject object = record.toJson();
        object.remove("includesHiddenFiles");
        stored.append(object);
    }
    SettingsStore::shared().setValue(scanKey, QJsonDocument(stored).toJson(QJsonDocument::Compact));

    StorageHistoryService history(sources());
    ASSERT_EQ(history.scanRecords().size(), 2u);
    EXPECT_FALSE(SettingsStore::shared().contains(scanKey + ".unreadable"));
    EXPECT_FALSE(history.latestScanChange());
    EXPECT_TRUE(history.latestScanDiffersInHiddenFiles());

    history.record(snapshot("/home/u", 21'000, {{"Documents", 21'000}}));
    EXPECT_EQ(history.latestScanChange(), 1'000);
    std::vector<QJsonValue> flags;
    for (const auto& item : QJsonDocument::fromJson(SettingsStore::shared().value(scanKey).toByteArray()).array())
        flags.push_back(item.toObject().value("includesHiddenFiles"));
    EXPECT_EQ(flags, (std::vector<QJsonValue>{true, false, false}));
    EXPECT_EQ(StorageHistoryService(sources()).scanRecords(), history.scanRecords());
}

// Scans stored by builds that counted a file once per name (no flag, or one that cannot be read)
// still load and compare among themselves, but never with a scan counted once: every backup
// rotation would read as freed.
TEST_F(StorageHistoryServiceTest, ScansThatCountedEachNameAreNotComparedWithScansThatCountAFileOnce) {
    QJsonArray stored;
    for (const QJsonValue& flag : {QJsonValue(QJsonValue::Undefined), QJsonValue("yes")}) {
        QJsonObject object = ScanHistoryRecord{Uuid::random(), utc(2024, 3, 1, 9, 0), "/home/u", 9'000 + stored.size(), 1, 1, {}}.toJson();
        object.remove("countsHardLinksOnce");
        if (!flag.isUndefined()) object.insert("countsHardLinksOnce", flag);
        stored.append(object);
    }
    SettingsStore::shared().setValue(scanKey, QJsonDocument(stored).toJson(QJsonDocument::Compact));
    StorageHistoryService history(sources());
    EXPECT_EQ(history.latestScanChange(), 1);

    history.record(snapshot("/home/u", 3'000, {{"Backups", 3'000}}));
    EXPECT_FALSE(history.latestScanChange());
    EXPECT_TRUE(history.latestFolderChanges().empty());
    EXPECT_TRUE(history.latestScanDiffersInHardLinks());
    EXPECT_FALSE(history.latestScanDiffersInHiddenFiles());
    const StorageHistoryService relaunched(sources());
    EXPECT_EQ(relaunched.scanRecords(), history.scanRecords());
    EXPECT_TRUE(relaunched.latestScanDiffersInHardLinks());
    history.record(snapshot("/home/u", 3'200, {{"Backups", 3'200}}));
    EXPECT_EQ(history.latestScanChange(), 200);
}

// Records written before the blocks kept for root were set apart hold them in `used`; records
// written since keep `used` as it always was and say how many were kept. Read back, the history's
// used bytes are df's, with no step on the day the count changed; and a record written now is one
// that a build of before reads, with the same used and available bytes.
TEST_F(StorageHistoryServiceTest, BlocksKeptForRootAreSetApartWithoutAStepInTheHistory) {
    const QByteArray before = R"([{"id":"9D0C6A44-3E0E-4F7B-9C4B-1A2B3C4D5E6F","date":731592000,"used":600,"available":400},)"
                              R"({"id":"1D0C6A44-3E0E-4F7B-9C4B-1A2B3C4D5E6F","date":731678400,"used":610,"available":390}])";
    SettingsStore::shared().setValue(historyKey, before);
    capacity = {1000, 380, 430};  // 50 bytes kept for root
    StorageHistoryService history(sources());
    ASSERT_EQ(history.records().size(), 3u);
    EXPECT_EQ(history.records()[2].used, 620);
    EXPECT_EQ(history.records()[2].reserved, 50);
    EXPECT_EQ(StorageHistoryService::usedBytes(history.records()), (std::vector<std::int64_t>{550, 560, 570}));
    EXPECT_EQ(capacity.used(), 570);

    const QJsonObject written = QJsonDocument::fromJson(SettingsStore::shared().value(historyKey).toByteArray()).array().last().toObject();
    EXPECT_EQ(written.value("used").toInteger(), 620);
    EXPECT_EQ(written.value("available").toInteger(), 380);
    EXPECT_EQ(written.value("reserved").toInteger(), 50);
    EXPECT_EQ(storedRecords(), history.records());
    // A volume whose reserve changed later: each record keeps its own.
    now = utc(2024, 3, 11, 12, 0);
    capacity = {1000, 380, 400};
    history.recordCurrentCapacity();
    EXPECT_EQ(StorageHistoryService::usedBytes(history.records()), (std::vector<std::int64_t>{550, 560, 570, 600}));
}
