#pragma once

#include "Services/DiskCapacityService.h"

#include "Models/FolderStorageChange.h"
#include "Models/ScanHistoryRecord.h"
#include "Models/ScanSnapshot.h"
#include "Models/StorageRecord.h"
#include "Foundation/Instant.h"

#include <QObject>
#include <QTimeZone>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// The storage history: one capacity record per calendar day of the start-up volume and one record
// per completed scan, kept in the settings store. Lives on the main thread.
class StorageHistoryService : public QObject {
    Q_OBJECT
public:
    using Capacity = DiskCapacityService::Capacity;
    // Where the store reads the capacity, the time and the user's time zone; tests fix them.
    struct Sources {
        std::function<Capacity()> capacity = startupVolumeCapacity;
        std::function<Instant()> now = Instant::now;
        std::function<QTimeZone()> timeZone = QTimeZone::systemTimeZone;
    };

    static constexpr size_t recordLimit = 365;
    static constexpr size_t scanRecordLimit = 90;
    static constexpr size_t bucketLimit = 40;
    // Bytes of JSON each stored list keeps at most, and one scan record: names in scripts that
    // take several bytes a character, kept three times in each bucket, would otherwise grow the
    // settings file past what it can read back.
    static constexpr qsizetype historyByteLimit = 1024 * 1024;
    static constexpr qsizetype scanRecordByteLimit = historyByteLimit / 8;

    // Loads both histories and records today's capacity.
    explicit StorageHistoryService(QObject* parent = nullptr);
    explicit StorageHistoryService(Sources sources, QObject* parent = nullptr);

    const std::vector<StorageRecord>& records() const { return records_; }  // oldest first
    const std::vector<ScanHistoryRecord>& scanRecords() const { return scanRecords_; }  // oldest first

    void recordCurrentCapacity();
    void record(const ScanSnapshot& snapshot);

    // Between the most recent scan and the newest earlier scan of the same folder counted the same
    // way, with hidden files and files of several names; scans counted otherwise measured something else.
    std::optional<std::int64_t> latestScanChange() const;
    std::vector<FolderStorageChange> latestFolderChanges() const;
    // Whether the most recently scanned folder was scanned before, but only with hidden files
    // counted the other way, so that there is nothing to compare it with.
    bool latestScanDiffersInHiddenFiles() const;
    // Whether the most recently scanned folder was scanned before, but only with files of several
    // names counted once per name, and none with its setting for hidden files counted as it is now.
    bool latestScanDiffersInHardLinks() const;
    static std::vector<FolderStorageChange> folderChanges(const ScanHistoryRecord& previous, const ScanHistoryRecord& current);

    // Each record's used bytes as df counts them, the blocks kept for root apart. A record written
    // before they were kept apart takes those of the next newer record that knows them, the same
    // volume's, so that the history shows no step where the count changed.
    static std::vector<std::int64_t> usedBytes(const std::vector<StorageRecord>& records);

    static Capacity startupVolumeCapacity() { return DiskCapacityService().capacity("/"); }

signals:
    void recordsChanged();
    void scanRecordsChanged();

private:
    // The most recent scan and the newest earlier scans of its folder: counted the same way, counted
    // the same way but for the setting for hidden files, and with hard links counted the other way;
    // none where there is no such scan.
    struct LatestScans {
        const ScanHistoryRecord* current = nullptr;
        const ScanHistoryRecord* sameSetting = nullptr;
        const ScanHistoryRecord* otherHiddenSetting = nullptr;
        const ScanHistoryRecord* otherHardLinkCount = nullptr;
    };
    LatestScans latestScans() const;

    Sources sources_;
    std::vector<StorageRecord> records_;
    std::vector<ScanHistoryRecord> scanRecords_;
};
