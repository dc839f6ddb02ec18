#include "Models/DuplicateGroup.h"
#include "Models/ScanHistoryRecord.h"
#include "Models/StorageRecord.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

#include <limits>
#include <optional>

namespace {
QJsonValue parse(const char* json) {
    return QJsonDocument::fromJson(QByteArray("[") + json + "]").array().first();
}
}  // namespace

TEST(StoredRecords, RoundTripKeepsEveryFieldExactly) {
    StorageRecord day{Uuid::random(), Instant::fromUnixSeconds(1765000000.123456), std::numeric_limits<std::int64_t>::max(), 9007199254740993};
    QByteArray text = QJsonDocument(QJsonArray{day.toJson()}).toJson();
    EXPECT_EQ(StorageRecord::fromJson(QJsonDocument::fromJson(text).array().first()), day);
    EXPECT_TRUE(text.contains("9223372036854775807"));
    EXPECT_TRUE(text.contains(QByteArray::fromStdString(day.id.text())));

    ScanHistoryRecord scan{Uuid::random(), Instant::fromReferenceSeconds(-12.5), "/home/a b/\"x\"", 10, 2, 1,
                           {{"/p/a", "a", "/p/a", 7, 1}, {"/p/b", "b", "/p/b", 3, 1}}};
    // Either setting for hidden files reads back as written, even where the buckets suggest the other.
    for (bool hidden : {true, false}) {
        scan.includesHiddenFiles = hidden;
        auto read = ScanHistoryRecord::fromJson(QJsonDocument::fromJson(QJsonDocument(QJsonArray{scan.toJson()}).toJson()).array().first());
        ASSERT_TRUE(read);
        EXPECT_EQ(*read, scan);
    }
    scan.buckets.push_back({"/p/.cache", ".cache", "/p/.cache", 1, 1});
    EXPECT_EQ(ScanHistoryRecord::fromJson(scan.toJson()), scan);
}

// A record stored before the setting for hidden files was kept, or with a flag that cannot be read,
// keeps every other member. It counts as made with hidden files when it holds a hidden top-level
// entry, as they are counted only with the setting on, and is written back as a flag that reads back.
TEST(StoredRecords, AScanRecordWithoutAReadableHiddenFilesFlagIsToldByItsHiddenTopLevelEntries) {
    auto readFlag = [](const QString& root, const std::vector<QString>& names, const QJsonValue& flag) {
        ScanHistoryRecord record{Uuid::random(), Instant::fromReferenceSeconds(5.5), root, 9, 8, 7, {}};
        for (const QString& name : names) record.buckets.push_back({root + "/" + name, name, root + "/" + name, 4096, 1});
        QJsonObject stored = record.toJson();
        stored.remove("includesHiddenFiles");
        if (!flag.isUndefined()) stored.insert("includesHiddenFiles", flag);
        const auto read = ScanHistoryRecord::fromJson(stored);
        if (!read) return std::optional<bool>();
        record.includesHiddenFiles = read->includesHiddenFiles;
        EXPECT_EQ(*read, record);
        EXPECT_EQ(ScanHistoryRecord::fromJson(read->toJson()), read);
        return std::optional(read->includesHiddenFiles);
    };
    for (const QJsonValue& flag : {QJsonValue(QJsonValue::Undefined), QJsonValue(QJsonValue::Null), QJsonValue("yes"), QJsonValue(1), QJsonValue(QJsonArray())}) {
        SCOPED_TRACE(QJsonDocument(QJsonArray{flag}).toJson(QJsonDocument::Compact).toStdString());
        EXPECT_EQ(readFlag("/home/u", {"Videos", ".cache"}, flag), true);
        EXPECT_EQ(readFlag("/home/u", {"Videos"}, flag), false);
        EXPECT_EQ(readFlag("/home/u", {}, flag), false);
        // A hidden folder chosen to scan: all its entries have a dot in their path, but only one whose
        // own name begins with a dot was hidden in it.
        EXPECT_EQ(readFlag("/home/u/.cache", {"mozilla", "pip"}, flag), false);
        EXPECT_EQ(readFlag("/home/u/.cache", {"mozilla", ".fontconfig"}, flag), true);
    }
    // A folder without hidden entries may have been scanned with them counted: a readable flag holds.
    EXPECT_EQ(readFlag("/home/u", {"Videos"}, true), true);
}

TEST(StoredRecords, StrictDecoding) {
    const char* good = R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","date":1.5,"used":1,"available":2,"extra":[1]})";
    ASSERT_TRUE(StorageRecord::fromJson(parse(good)));
    EXPECT_EQ(StorageRecord::fromJson(parse(good))->id.text(), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");

    EXPECT_FALSE(StorageRecord::fromJson(parse(R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","date":1.5,"used":1})")));
    EXPECT_FALSE(StorageRecord::fromJson(parse(R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","date":null,"used":1,"available":2})")));
    EXPECT_FALSE(StorageRecord::fromJson(parse(R"({"id":"not-a-uuid","date":1,"used":1,"available":2})")));
    EXPECT_FALSE(StorageRecord::fromJson(parse(R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","date":1,"used":1.5,"available":2})")));
    EXPECT_FALSE(StorageRecord::fromJson(parse(R"([1,2])")));

    const char* scan = R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","date":0,"rootPath":"/","totalSize":1,"fileCount":1,"folderCount":0)";
    auto withBuckets = [&](const char* rest) { return ScanHistoryRecord::fromJson(parse((std::string(scan) + rest).c_str())); };
    EXPECT_FALSE(withBuckets("}"));
    ASSERT_TRUE(withBuckets(R"(,"buckets":[]})"));
    EXPECT_TRUE(withBuckets(R"(,"buckets":[]})")->buckets.empty());
    EXPECT_FALSE(withBuckets(R"(,"buckets":[{"id":"/a","name":"a","path":"/a","size":1,"fileCount":"1"}]})"));
    EXPECT_FALSE(withBuckets(R"(,"buckets":{}})"));
}

TEST(Records, IdentityAndEquality) {
    ScannedFile a{Uuid::random(), "/x", 1, std::nullopt, "Text"};
    ScannedFile b{Uuid::random(), "/x", 1, std::nullopt, "Text"};
    EXPECT_NE(a, b);
    EXPECT_NE(a.id, Uuid::random());

    DuplicateGroup group{"ab", {a, b}, 5};
    DuplicateGroup reversed{"ab", {b, a}, 5};
    EXPECT_NE(group, reversed);
    EXPECT_EQ(group.reclaimableBytes(), 1);  // what the copy beyond the first takes on disk, not its length
    ScannedFile big{Uuid::random(), "/y", std::numeric_limits<std::int64_t>::max() / 2 + 1, std::nullopt, "Text"};
    DuplicateGroup huge{"cd", {a, big, big}, 5};
    EXPECT_EQ(huge.reclaimableBytes(), std::numeric_limits<std::int64_t>::max());
}
